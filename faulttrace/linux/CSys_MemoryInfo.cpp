// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (open, read, close), no allocation, no locks, no stdio.

#include "faulttrace/linux/CSys_MemoryInfo.h"

#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"

namespace FTR {

namespace {

// Crash context: the kB figure of one /proc/meminfo field.
bool meminfoField(const char* text, const char* field, uint64_t& kb)
{
    const size_t fieldLength = safeLength(field);
    for (const char* line = text; *line;) {
        if (safeStartsWith(line, field) && line[fieldLength] == ':') {
            const char* p = line + fieldLength + 1;
            while (*p == ' ')
                ++p;
            kb = 0;
            bool any = false;
            while (*p >= '0' && *p <= '9') {
                kb = kb * 10 + static_cast<uint64_t>(*p++ - '0');
                any = true;
            }
            return any;
        }
        while (*line && *line != '\n')
            ++line;
        if (*line)
            ++line;
    }
    return false;
}

} // namespace

// Crash context. "MemAvailable" is what the kernel can hand out without
// swapping; kernels before 3.14 only know "MemFree".
bool CSys_MemoryInfo::parse(const char* meminfo, uint64_t& totalKb, uint64_t& availableKb)
{
    return meminfoField(meminfo, "MemTotal", totalKb)
           && (meminfoField(meminfo, "MemAvailable", availableKb) || meminfoField(meminfo, "MemFree", availableKb));
}

// Crash context.
bool CSys_MemoryInfo::read(uint64_t& totalKb, uint64_t& availableKb)
{
    char meminfo[4096];
    const int fd = safeOpenRead("/proc/meminfo");
    if (fd < 0)
        return false;
    const ssize_t n = safeReadAll(fd, meminfo, sizeof meminfo - 1);
    safeClose(fd);
    meminfo[n > 0 ? n : 0] = '\0';
    return parse(meminfo, totalKb, availableKb);
}

} // namespace FTR
