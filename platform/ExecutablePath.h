#pragma once

#include <QByteArray>

namespace platform {

// Full path of the running executable in the system's own encoding; empty when
// the system does not tell.
QByteArray executablePath();

} // namespace platform
