// Flushing files to the disk, and the per-user state folder, on Windows.

#include "platform/DiskSync.h"
#include "platform/UserDataFolder.h"

#include <QDir>
#include <QFileDevice>
#include <QString>

#include <io.h>
#include <windows.h>

namespace platform {

bool syncToDisk(QFileDevice& file)
{
    if (!file.isOpen() || !file.flush())
        return false;
    const intptr_t handle = _get_osfhandle(file.handle());
    if (handle == -1)
        return false;
    return FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0;
}

QString userStateFolder()
{
    // State stays on this machine, like the rest of the local application data.
    const QString base = localAppDataFolder();
    QDir().mkpath(base);
    return base;
}

} // namespace platform
