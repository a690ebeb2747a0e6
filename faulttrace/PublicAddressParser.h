#pragma once
// Reads the public address out of the address service's answer: the text
// between the last ">" and the "<" that follows it ("<p>1.2.3.4</p>" gives
// 1.2.3.4; a whole HTML page gives nothing).

#include <string>

namespace FTR {

class PublicAddressParser
{
public:
    static constexpr size_t MaxChars = 255;

    // `answer` is at most the first 512 bytes the service sent.
    static std::string parse(const std::string& answer);
};

} // namespace FTR
