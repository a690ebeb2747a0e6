// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (siglongjmp out of a step of our own that faulted), no allocation, no locks, no stdio.

#include "faulttrace/linux/CrashGuard.h"

namespace FTR {

sigjmp_buf* volatile CrashGuard::current = nullptr;

void CrashGuard::escape()
{
    sigjmp_buf* const target = current;
    if (target) {
        current = nullptr;
        siglongjmp(*target, 1);
    }
}

} // namespace FTR
