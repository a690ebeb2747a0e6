#include "faulttrace/linux/CSystemInfo.h"

#include "faulttrace/linux/CpuIdentity.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/HelperLauncher.h"
#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/linux/SafeText.h"

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

    char meminfo[4096];
    const int memFd = safeOpenRead("/proc/meminfo");
    if (memFd >= 0) {
        const ssize_t n = safeReadAll(memFd, meminfo, sizeof meminfo - 1);
        safeClose(memFd);
        meminfo[n > 0 ? n : 0] = '\0';
        uint64_t totalKb = 0;
        uint64_t availableKb = 0;
        if (meminfoField(meminfo, "MemTotal", totalKb)
            && (meminfoField(meminfo, "MemAvailable", availableKb) || meminfoField(meminfo, "MemFree", availableKb))) {
            line.clear();
            line.add("Memory: Total PhysMemory[").addRounded(static_cast<double>(totalKb) / 1024.0 + 0.5);
            line.add("(MB)], Valid PhysMemory[").addRounded(static_cast<double>(availableKb) / 1024.0 + 0.5);
            line.add("(MB)]").add(lineBreak);
            writeText(fd, line.data(), line.size());
        }
    }

    char address[CrashState::FieldBytes];
    if (HelperLauncher(state).lookupPublicAddress(address, sizeof address)) {
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
