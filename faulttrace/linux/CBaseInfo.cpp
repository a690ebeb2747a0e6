// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (write), no allocation, no locks, no stdio.

#include "faulttrace/linux/CBaseInfo.h"

#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"

namespace FTR {

CBaseInfo::CBaseInfo(const char* titleText, const CrashContext& crashContext)
    : crash(crashContext)
{
    safeCopy(title, sizeof title, titleText);
}

bool CBaseInfo::writeText(int fd, const char* text, size_t size)
{
    return safeWriteAll(fd, text, size);
}

bool CBaseInfo::write(int fd)
{
    if (!writeText(fd, title, safeLength(title)) || !writeText(fd, lineBreak, 2))
        return false;
    return writeBody(fd);
}

} // namespace FTR
