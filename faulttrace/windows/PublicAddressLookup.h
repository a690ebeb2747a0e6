#pragma once
// Asks the public-address service "getip.php?action=getip" over HTTP/1.0
// with WinINet.

#include <cstddef>

namespace FTR {

class PublicAddressLookup
{
public:
    // True when the service answered (the address may still be empty);
    // `out` receives at most 255 characters. Each of connecting, sending and
    // receiving gives up after `timeoutMs`.
    static bool lookup(const wchar_t* host, int port, wchar_t* out, size_t size, unsigned timeoutMs);
};

} // namespace FTR
