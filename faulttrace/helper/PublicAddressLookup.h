#pragma once
// Asks the public-address service "getip.php?action=getip" over HTTP/1.0.
// Runs in the helper process.

#include <string>

namespace FTR {

class PublicAddressLookup
{
public:
    // True when the service answered (the address may still be empty).
    static bool lookup(const std::string& host, int port, std::string& address, long timeoutSeconds = 3);
};

} // namespace FTR
