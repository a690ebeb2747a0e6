#pragma once

#include <QString>

namespace platform {

// The user's folder for local application data, without a trailing separator.
// Programs keep their per-user files in a folder of their own under it.
QString localAppDataFolder();

} // namespace platform
