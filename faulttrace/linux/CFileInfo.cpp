// Crash path: runs inside the crashed process. Plain string work, no calls
// out, no allocation, no locks, no stdio.

#include "faulttrace/linux/CFileInfo.h"

namespace FTR {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

// Takes what follows the last ".so." when it is made of digits and dots and
// starts with a digit.
bool CFileInfo::versionOf(const char* path, char* out, size_t size)
{
    if (!out || size == 0)
        return false;
    out[0] = '\0';
    if (!path)
        return false;
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/')
            name = p + 1;
    }
    const char* version = nullptr;
    for (const char* p = name; *p; ++p) {
        if (p[0] == '.' && p[1] == 's' && p[2] == 'o' && p[3] == '.')
            version = p + 4;
    }
    if (!version || !isDigit(*version))
        return false;
    size_t n = 0;
    for (const char* p = version; *p; ++p) {
        if (!isDigit(*p) && *p != '.')
            return false;
    }
    while (version[n] && n + 1 < size) {
        out[n] = version[n];
        ++n;
    }
    while (n > 0 && out[n - 1] == '.')
        --n;
    out[n] = '\0';
    return n > 0;
}

} // namespace FTR
