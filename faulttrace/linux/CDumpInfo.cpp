// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (close, and what the sections call), no allocation, no locks, no stdio.

#include "faulttrace/linux/CDumpInfo.h"

#include "faulttrace/linux/CCpuInfo.h"
#include "faulttrace/linux/CModuleInfo.h"
#include "faulttrace/linux/CStackInfo.h"
#include "faulttrace/linux/CSystemInfo.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashGuard.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/linux/SafeIo.h"

namespace FTR {

CDumpInfo::CDumpInfo(int fd)
    : file(fd)
{
}

CDumpInfo::~CDumpInfo()
{
    safeClose(file);
}

// Crash context. Each section runs under the guard, so a fault inside one
// (a module cut off under us, say) loses only the rest of that section.
bool CDumpInfo::write(const CrashContext& crash)
{
    if (file < 0)
        return false;
    crash.maps->refresh();
    const CrashState& state = *crash.state;
    const int fd = file;
    if (state.systemSection)
        CrashGuard::run([&] { CSystemInfo(crash).write(fd); });
    if (state.cpuSection)
        CrashGuard::run([&] { CCpuInfo(crash).write(fd); });
    if (state.stackSection)
        CrashGuard::run([&] { CStackInfo(crash).write(fd); });
    if (state.moduleSection)
        CrashGuard::run([&] { CModuleInfo(crash).write(fd); });
    return true;
}

} // namespace FTR
