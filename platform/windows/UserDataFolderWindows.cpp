// The user's local application-data folder, from the shell.

#include "platform/UserDataFolder.h"

#include <QDir>

#include <shlobj.h>
#include <windows.h>

namespace platform {

QString localAppDataFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return QDir::cleanPath(QDir::homePath() + QStringLiteral("/AppData/Local"));
    return QDir::cleanPath(QDir::fromNativeSeparators(QString::fromWCharArray(path)));
}

} // namespace platform
