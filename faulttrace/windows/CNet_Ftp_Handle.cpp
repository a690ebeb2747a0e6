#include "faulttrace/windows/CNet_Ftp_Handle.h"

#include "faulttrace/windows/InternetHandle.h"

namespace FTR {

// Passive mode: the server does not have to reach back to a machine that is
// usually behind a router.
bool CNet_Ftp_Handle::upload(const FtpTarget& target, const wchar_t* localFile, const wchar_t* remoteName)
{
    if (!target.host || !target.host[0])
        return false;
    InternetHandle session(InternetHandle::openSession(target.timeoutMs));
    if (!session)
        return false;
    const auto port = static_cast<INTERNET_PORT>(target.port > 0 && target.port < 65536 ? target.port
                                                                                         : INTERNET_DEFAULT_FTP_PORT);
    const bool anonymous = !target.user || !target.user[0];
    InternetHandle connection(InternetConnectW(session.get(), target.host, port, anonymous ? nullptr : target.user,
                                               anonymous ? nullptr : target.password, INTERNET_SERVICE_FTP,
                                               INTERNET_FLAG_PASSIVE, 0));
    if (!connection)
        return false;
    if (target.directory && target.directory[0] && !FtpSetCurrentDirectoryW(connection.get(), target.directory))
        return false;
    return FtpPutFileW(connection.get(), localFile, remoteName, FTP_TRANSFER_TYPE_BINARY, 0) != FALSE;
}

} // namespace FTR
