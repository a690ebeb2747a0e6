#pragma once

#include <string>
#include <vector>

namespace network {

// The outcome of one send. The HTTP status is reported, never judged: a
// completed exchange answered 404 or 500 has succeed true and that code.
struct HttpResponse
{
    bool succeed = false;
    std::vector<char> responseData;
    // Status line and header lines with their CR LF, as received.
    std::vector<char> responseHeader;
    long responseCode = -1;
    // libcurl's own description of a failure; may be empty.
    std::string errorBuffer;
};

} // namespace network
