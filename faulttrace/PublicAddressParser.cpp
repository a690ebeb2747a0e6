#include "faulttrace/PublicAddressParser.h"

#include <algorithm>

namespace FTR {

std::string PublicAddressParser::parse(const std::string& answer)
{
    std::string out;
    size_t afterTag = std::string::npos;
    for (size_t i = 0; i < answer.size(); ++i) {
        if (answer[i] == '>') {
            afterTag = i + 1;
        } else if (answer[i] == '<' && afterTag != std::string::npos) {
            out = answer.substr(afterTag, std::min(i - afterTag, MaxChars));
        }
    }
    // Line breaks between closing tags are not an address.
    const size_t first = out.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const size_t last = out.find_last_not_of(" \t\r\n");
    return out.substr(first, last - first + 1);
}

} // namespace FTR
