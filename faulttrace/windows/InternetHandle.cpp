#include "faulttrace/windows/InternetHandle.h"

namespace FTR {

// WinINet's default time-outs run to minutes; the crash handling has to end.
HINTERNET InternetHandle::openSession(unsigned timeoutMs)
{
    HINTERNET session = InternetOpenW(L"FaultTrace", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session)
        return nullptr;
    DWORD timeout = timeoutMs;
    const DWORD options[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                             INTERNET_OPTION_DATA_RECEIVE_TIMEOUT};
    for (DWORD option : options)
        InternetSetOptionW(session, option, &timeout, sizeof timeout);
    return session;
}

} // namespace FTR
