// What Windows says about itself: its true version and the processor's width.

#include "platform/SystemVersion.h"

#include <windows.h>

namespace platform {

namespace {

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);

// GetVersionExW answers 6.2 on every later Windows unless the executable's
// manifest names that version; the kernel's own call never does that.
bool readVersion(OSVERSIONINFOEXW& info)
{
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
        if (rtlGetVersion && rtlGetVersion(&info) == 0)
            return true;
    }
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != 0;
#pragma GCC diagnostic pop
}

WORD nativeArchitecture()
{
    SYSTEM_INFO info = {};
    auto getNative = reinterpret_cast<GetNativeSystemInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo")));
    if (getNative)
        getNative(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

} // namespace

SystemVersion currentSystemVersion()
{
    SystemVersion version;
    version.windows = true;
    OSVERSIONINFOEXW info;
    if (readVersion(info)) {
        version.windowsMajor = static_cast<int>(info.dwMajorVersion);
        version.windowsMinor = static_cast<int>(info.dwMinorVersion);
        version.kernelVersion = QStringLiteral("%1.%2.%3")
                                    .arg(info.dwMajorVersion)
                                    .arg(info.dwMinorVersion)
                                    .arg(info.dwBuildNumber);
    }
    version.productType = QStringLiteral("windows");
    version.kernelType = QStringLiteral("winnt");
    const WORD arch = nativeArchitecture();
    version.native64 = arch == PROCESSOR_ARCHITECTURE_AMD64 || arch == PROCESSOR_ARCHITECTURE_IA64
        || arch == PROCESSOR_ARCHITECTURE_ARM64;
    return version;
}

} // namespace platform
