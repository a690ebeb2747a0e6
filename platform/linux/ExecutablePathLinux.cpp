#include "platform/ExecutablePath.h"

#include <limits.h>
#include <unistd.h>

namespace platform {

QByteArray executablePath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer)
        return {};
    return QByteArray(buffer, static_cast<int>(length));
}

} // namespace platform
