// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (write), no allocation, no locks, no stdio.

#include "faulttrace/linux/CModuleInfo.h"

#include "faulttrace/linux/CFileInfo.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/SafeText.h"

namespace FTR {

CModuleInfo::CModuleInfo(const CrashContext& crash)
    : CBaseInfo("[Module Info]", crash)
{
}

// Crash context.
bool CModuleInfo::writeBody(int fd)
{
    const CModuleList& maps = *crash.maps;
    char buffer[CrashState::PathBytes + 128];
    char version[64];
    for (size_t i = 0; i < maps.moduleCount(); ++i) {
        const ModuleEntry& m = maps.module(i);
        SafeText line(buffer, sizeof buffer);
        line.addChar('[').addHex(m.base).add("] ").add(maps.path(m.path));
        if (CFileInfo::versionOf(maps.path(m.path), version, sizeof version)
            || CFileInfo::versionOf(m.soname, version, sizeof version))
            line.add(" (").add(version).addChar(')');
        line.add(lineBreak);
        writeText(fd, line.data(), line.size());
    }
    return writeText(fd, lineBreak, 2);
}

} // namespace FTR
