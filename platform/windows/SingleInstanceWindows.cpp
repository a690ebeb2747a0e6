// One running copy per user session: a named mutex in the session's
// namespace, and a local pipe name of the user's own for the commands.

#include "platform/SingleInstance.h"

#include <windows.h>

QString SingleInstance::controlAddress(const QString& name)
{
    // Pipe names are machine-wide: the user's name and the session keep
    // copies of other users and other sessions apart.
    wchar_t user[257] = {};
    DWORD userChars = static_cast<DWORD>(sizeof user / sizeof user[0]);
    if (!GetUserNameW(user, &userChars))
        user[0] = 0;
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return name + QLatin1Char('-') + QString::fromWCharArray(user) + QLatin1Char('-') + QString::number(session)
        + QStringLiteral(".control");
}

bool SingleInstance::acquire(const QString& name)
{
    // The handle stays open for the life of the process; the system closes
    // it however the process ends, and the mutex goes with the last handle.
    const std::wstring wide = name.toStdWString();
    HANDLE mutex = CreateMutexW(nullptr, FALSE, wide.c_str());
    if (!mutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    return true;
}
