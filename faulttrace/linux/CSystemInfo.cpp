// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (write, clock_gettime, and the helper run), no allocation, no locks, no stdio.

#include "faulttrace/linux/CSystemInfo.h"

#include "faulttrace/linux/CSys_MemoryInfo.h"
#include "faulttrace/CpuIdentity.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/HelperLauncher.h"
#include "faulttrace/SafeText.h"

namespace FTR {

CSystemInfo::CSystemInfo(const CrashContext& crash)
    : CBaseInfo("[System Info]", crash)
{
}

// Crash context.
bool CSystemInfo::writeBody(int fd)
{
    CrashState& state = *crash.state;
    char buffer[1024];
    SafeText line(buffer, sizeof buffer);

    if (state.systemLine[0]) {
        line.add("SYSTEM: ").add(state.systemLine).add(lineBreak);
        writeText(fd, line.data(), line.size());
    }

    line.clear();
    line.add("CPU:    ").add(state.cpuBrand).addChar('[');
    line.addGeneral(CpuIdentity::measureClockGHz()).add("(GHz)]").add(lineBreak);
    writeText(fd, line.data(), line.size());

    writeText(fd, state.videoLines, safeLength(state.videoLines));

    uint64_t totalKb = 0;
    uint64_t availableKb = 0;
    if (CSys_MemoryInfo::read(totalKb, availableKb)) {
        line.clear();
        line.add("Memory: Total PhysMemory[").addRounded(static_cast<double>(totalKb) / 1024.0 + 0.5);
        line.add("(MB)], Valid PhysMemory[").addRounded(static_cast<double>(availableKb) / 1024.0 + 0.5);
        line.add("(MB)]").add(lineBreak);
        writeText(fd, line.data(), line.size());
    }

    char address[CrashState::FieldBytes];
    if (HelperLauncher(state).lookupPublicAddress(address, sizeof address, crash.deadlineMs)) {
        safeCopy(state.publicAddress, sizeof state.publicAddress, address);
        line.clear();
        line.add("Net IP: ").add(address).add(lineBreak);
        writeText(fd, line.data(), line.size());
    }

    if (state.checkedFileVersion[0]) {
        line.clear();
        line.add("Client: ").add(state.checkedFileVersion).add(lineBreak);
        writeText(fd, line.data(), line.size());
    }
    return writeText(fd, lineBreak, 2);
}

} // namespace FTR
