#include "faulttrace/windows/CDumpInfo.h"

#include "faulttrace/windows/CCpuInfo.h"
#include "faulttrace/windows/CModuleInfo.h"
#include "faulttrace/windows/CModuleList.h"
#include "faulttrace/windows/CStackInfo.h"
#include "faulttrace/windows/CSystemInfo.h"
#include "faulttrace/windows/CrashContext.h"
#include "faulttrace/windows/CrashState.h"

namespace FTR {

CDumpInfo::CDumpInfo(HANDLE reportFile)
    : file(reportFile)
{
}

CDumpInfo::~CDumpInfo()
{
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

bool CDumpInfo::write(const CrashContext& crash)
{
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // The stack section and the module section share this one snapshot.
    crash.modules->refresh();
    const CrashState& state = *crash.state;
    if (state.systemSection)
        CSystemInfo(crash).write(file);
    if (state.cpuSection)
        CCpuInfo(crash).write(file);
    if (state.stackSection)
        CStackInfo(crash).write(file);
    if (state.moduleSection)
        CModuleInfo(crash).write(file);
    return true;
}

} // namespace FTR
