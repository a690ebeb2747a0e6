// The running executable's full path, from the loader.

#include "platform/ExecutablePath.h"

#include <QString>

#include <windows.h>

#include <vector>

namespace platform {

QByteArray executablePath()
{
    // Paths can be longer than MAX_PATH; the buffer grows until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            // The program's own encoding for file names on Windows is UTF-8.
            return QString::fromWCharArray(buffer.data(), static_cast<int>(length)).toUtf8();
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
