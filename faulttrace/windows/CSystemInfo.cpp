#include "faulttrace/windows/CSystemInfo.h"

#include "faulttrace/CpuIdentity.h"
#include "faulttrace/windows/CFileInfo.h"
#include "faulttrace/windows/CSys_MemoryInfo.h"
#include "faulttrace/windows/CSys_OsInfo.h"
#include "faulttrace/windows/CSys_VideoInfo.h"
#include "faulttrace/windows/CrashContext.h"
#include "faulttrace/windows/CrashState.h"
#include "faulttrace/windows/PublicAddressLookup.h"
#include "faulttrace/windows/WideText.h"

namespace FTR {

CSystemInfo::CSystemInfo(const CrashContext& crash)
    : CBaseInfo("[System Info]", crash)
{
}

bool CSystemInfo::writeBody(HANDLE file)
{
    CrashState& state = *crash.state;
    wchar_t line[1024];
    constexpr size_t lineSize = sizeof line / sizeof line[0];

    wchar_t text[512];
    if (CSys_OsInfo::describe(text, sizeof text / sizeof text[0])) {
        wideFormat(line, lineSize, L"SYSTEM: %ls\r\n", text);
        writeText(file, line);
    }

    CpuIdentity cpu;
    cpu.read();
    wideFromBytes(text, sizeof text / sizeof text[0], cpu.brand, CP_ACP);
    wideFormat(line, lineSize, L"CPU:    %ls[%G(GHz)]\r\n", text, static_cast<double>(CpuIdentity::measureClockGHz()));
    writeText(file, line);

    {
        const CSys_VideoInfo video;
        const unsigned adapters = video.adapterCount();
        for (unsigned i = 0; i < adapters; ++i) {
            if (!video.description(i, text, sizeof text / sizeof text[0]))
                continue;
            wideFormat(line, lineSize, L"Video:  Adapter(%d)-%ls\r\n", static_cast<int>(i), text);
            writeText(file, line);
        }
    }

    uint64_t total = 0;
    uint64_t available = 0;
    if (CSys_MemoryInfo().read(total, available)) {
        constexpr double MiB = 1024.0 * 1024.0;
        wideFormat(line, lineSize, L"Memory: Total PhysMemory[%.0f(MB)], Valid PhysMemory[%.0f(MB)]\r\n",
                   static_cast<double>(total) / MiB + 0.5, static_cast<double>(available) / MiB + 0.5);
        writeText(file, line);
    }

    wchar_t address[CrashState::FieldChars];
    if (PublicAddressLookup::lookup(state.addressHost, state.addressPort, address, CrashState::FieldChars,
                                    static_cast<unsigned>(state.lookupTimeoutMs))) {
        wideCopy(state.publicAddress, CrashState::FieldChars, address);
        wideFormat(line, lineSize, L"Net IP: %ls\r\n", address);
        writeText(file, line);
    }

    if (state.checkedFile[0]
        && CFileInfo(state.checkedFile).value(L"FileVersion", text, sizeof text / sizeof text[0])) {
        wideFormat(line, lineSize, L"Client: %ls\r\n", text);
        writeText(file, line);
    }
    return writeText(file, lineBreak);
}

} // namespace FTR
