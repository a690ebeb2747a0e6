#pragma once

// Making what was written to a file survive a power loss.

class QFileDevice;
class QString;

namespace platform {

// Flushes `file` and has the system put its data on the disk before this
// returns. False when the file is not open or the system refused.
bool syncToDisk(QFileDevice& file);

// The user's folder for state a program keeps between runs (its journals,
// its logs), made if missing, without a trailing separator.
QString userStateFolder();

} // namespace platform
