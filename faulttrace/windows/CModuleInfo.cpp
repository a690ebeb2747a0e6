#include "faulttrace/windows/CModuleInfo.h"

#include "faulttrace/windows/CFileInfo.h"
#include "faulttrace/windows/CModuleList.h"
#include "faulttrace/windows/CrashContext.h"
#include "faulttrace/windows/WideText.h"

namespace FTR {

CModuleInfo::CModuleInfo(const CrashContext& crash)
    : CBaseInfo("[Module Info]", crash)
{
}

bool CModuleInfo::writeBody(HANDLE file)
{
    const CModuleList& modules = *crash.modules;
    wchar_t line[MAX_PATH + 128];
    wchar_t version[64];
    for (size_t i = 0; i < modules.count(); ++i) {
        const MODULEENTRY32W& m = modules.module(i);
        const HexText base(reinterpret_cast<uint64_t>(m.modBaseAddr));
        if (CFileInfo(m.szExePath).value(L"ProductVersion", version, sizeof version / sizeof version[0]))
            wideFormat(line, sizeof line / sizeof line[0], L"[%ls] %ls (%ls)\r\n", base.text, m.szExePath, version);
        else
            wideFormat(line, sizeof line / sizeof line[0], L"[%ls] %ls\r\n", base.text, m.szExePath);
        writeText(file, line);
    }
    return writeText(file, lineBreak);
}

} // namespace FTR
