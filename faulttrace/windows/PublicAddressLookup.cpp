#include "faulttrace/windows/PublicAddressLookup.h"

#include "faulttrace/PublicAddressParser.h"
#include "faulttrace/windows/InternetHandle.h"
#include "faulttrace/windows/WideText.h"

#include <string>

namespace FTR {

namespace {
constexpr DWORD MaxAnswerBytes = 512;
} // namespace

bool PublicAddressLookup::lookup(const wchar_t* host, int port, wchar_t* out, size_t size, unsigned timeoutMs)
{
    if (size > 0)
        out[0] = L'\0';
    if (!host || !host[0])
        return false;
    InternetHandle session(InternetHandle::openSession(timeoutMs));
    if (!session)
        return false;
    const auto servicePort = static_cast<INTERNET_PORT>(port > 0 && port < 65536 ? port : 80);
    InternetHandle connection(
        InternetConnectW(session.get(), host, servicePort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return false;
    // Never from the cache: the address may have changed since the last answer.
    InternetHandle request(HttpOpenRequestW(connection.get(), L"GET", L"getip.php?action=getip", L"HTTP/1.0",
                                            nullptr, nullptr,
                                            INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD
                                                | INTERNET_FLAG_NO_CACHE_WRITE,
                                            0));
    if (!request)
        return false;
    const wchar_t header[] = L"Content-Type: application/x-www-form-urlencoded";
    if (!HttpSendRequestW(request.get(), header, static_cast<DWORD>(-1), nullptr, 0))
        return false;
    char answer[MaxAnswerBytes + 1] = {};
    DWORD read = 0;
    if (!InternetReadFile(request.get(), answer, MaxAnswerBytes, &read))
        return false;
    const std::string address = PublicAddressParser::parse(std::string(answer, read));
    wideFromBytes(out, size < PublicAddressParser::MaxChars + 1 ? size : PublicAddressParser::MaxChars + 1,
                  address.c_str(), CP_ACP);
    return true;
}

} // namespace FTR
