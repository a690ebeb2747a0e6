// Syncing files to the disk, and the XDG state folder.

#include "platform/DiskSync.h"

#include <QDir>
#include <QFileDevice>
#include <QString>

#include <unistd.h>

namespace platform {

bool syncToDisk(QFileDevice& file)
{
    if (!file.isOpen() || !file.flush())
        return false;
    return fdatasync(file.handle()) == 0;
}

QString userStateFolder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // The specification ignores a relative path.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    QDir().mkpath(base);
    return QDir::cleanPath(base);
}

} // namespace platform
