#include "platform/UserDataFolder.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QString localAppDataFolder()
{
    // XDG base directories: a relative XDG_DATA_HOME is invalid and ignored.
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QFileInfo(xdg).isAbsolute())
        return QDir::cleanPath(xdg);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/share"));
}

} // namespace platform
