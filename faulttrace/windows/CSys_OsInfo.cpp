#include "faulttrace/windows/CSys_OsInfo.h"

#include "faulttrace/windows/WideText.h"

namespace FTR {

namespace {

constexpr size_t MaxDescriptionChars = 256;

using NativeInfoFunction = void(WINAPI*)(SYSTEM_INFO*);

WORD nativeArchitecture()
{
    SYSTEM_INFO info = {};
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto native = kernel32 ? reinterpret_cast<NativeInfoFunction>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel32, "GetNativeSystemInfo")))
                                 : nullptr;
    if (native)
        native(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

const wchar_t* workstationEdition(const OSVERSIONINFOEXW& v, WORD architecture)
{
    if (architecture == PROCESSOR_ARCHITECTURE_AMD64)
        return L"";
    if (v.dwMajorVersion == 4)
        return L"Workstation 4.0 ";
    if (v.wSuiteMask & VER_SUITE_PERSONAL)
        return L"Home Edition ";
    return L"Professional ";
}

const wchar_t* serverEdition(const OSVERSIONINFOEXW& v, WORD architecture)
{
    const WORD suites = v.wSuiteMask;
    if (v.dwMajorVersion == 5 && v.dwMinorVersion == 2) {
        if (architecture == PROCESSOR_ARCHITECTURE_IA64) {
            if (suites & VER_SUITE_DATACENTER)
                return L"Datacenter Edition for Itanium-based Systems";
            if (suites & VER_SUITE_ENTERPRISE)
                return L"Enterprise Edition for Itanium-based Systems";
            return L"";
        }
        if (architecture == PROCESSOR_ARCHITECTURE_AMD64) {
            if (suites & VER_SUITE_DATACENTER)
                return L"Datacenter x64 Edition ";
            if (suites & VER_SUITE_ENTERPRISE)
                return L"Enterprise x64 Edition ";
            return L"Standard x64 Edition ";
        }
        if (suites & VER_SUITE_DATACENTER)
            return L"Datacenter Edition ";
        if (suites & VER_SUITE_ENTERPRISE)
            return L"Enterprise Edition ";
        if (suites & VER_SUITE_BLADE)
            return L"Web Edition ";
        return L"Standard Edition ";
    }
    if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0) {
        if (suites & VER_SUITE_DATACENTER)
            return L"Datacenter Server ";
        if (suites & VER_SUITE_ENTERPRISE)
            return L"Advanced Server ";
        return L"Server ";
    }
    return (suites & VER_SUITE_ENTERPRISE) ? L"Server 4.0, Enterprise Edition " : L"Server 4.0 ";
}

// The product name of an NT version the table knows, or null.
const wchar_t* ntProduct(const OSVERSIONINFOEXW& v, bool extended, WORD architecture, bool serverR2)
{
    const bool workstation = !extended || v.wProductType == VER_NT_WORKSTATION;
    const DWORD major = v.dwMajorVersion;
    const DWORD minor = v.dwMinorVersion;
    if (major == 6 && minor == 0)
        return workstation ? L"Windows Vista " : L"Windows Server \"Longhorn\" ";
    if (major == 5 && minor == 2) {
        if (serverR2)
            return L"Microsoft Windows Server 2003 \"R2\" ";
        if (workstation && architecture == PROCESSOR_ARCHITECTURE_AMD64)
            return L"Microsoft Windows XP Professional x64 Edition ";
        return L"Microsoft Windows Server 2003 ";
    }
    if (major == 5 && minor == 1)
        return L"Microsoft Windows XP ";
    if (major == 5 && minor == 0)
        return L"Microsoft Windows 2000 ";
    if (major <= 4)
        return L"Microsoft Windows NT ";
    return nullptr;
}

} // namespace

bool CSys_OsInfo::describe(const OSVERSIONINFOEXW& v, bool extended, WORD architecture, bool serverR2,
                           wchar_t* out, size_t size)
{
    wchar_t text[MaxDescriptionChars * 2] = {};
    constexpr size_t textSize = sizeof text / sizeof text[0];
    const wchar_t* unknown = L"Unknown System Version";
    switch (v.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        wideCopy(text, textSize, L"Microsoft Win32s");
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (v.dwMajorVersion == 4 && v.dwMinorVersion == 0) {
            const bool osr2 = v.szCSDVersion[1] == L'C' || v.szCSDVersion[1] == L'B';
            wideCopy(text, textSize, osr2 ? L"Microsoft Windows 95 OSR2" : L"Microsoft Windows 95");
        } else if (v.dwMajorVersion == 4 && v.dwMinorVersion == 10) {
            const bool secondEdition = v.szCSDVersion[1] == L'A' || v.szCSDVersion[1] == L'B';
            wideCopy(text, textSize, secondEdition ? L"Microsoft Windows 98 SE" : L"Microsoft Windows 98");
        } else if (v.dwMajorVersion == 4 && v.dwMinorVersion == 90) {
            wideCopy(text, textSize, L"Microsoft Windows ME");
        } else {
            wideCopy(text, textSize, unknown);
        }
        break;
    case VER_PLATFORM_WIN32_NT:
        if (const wchar_t* product = ntProduct(v, extended, architecture, serverR2)) {
            wideCopy(text, textSize, product);
            // Without the extended record the edition is unknown and left out.
            if (extended) {
                const bool workstation = v.wProductType == VER_NT_WORKSTATION;
                wideAppend(text, textSize,
                           workstation ? workstationEdition(v, architecture) : serverEdition(v, architecture));
            }
            wchar_t build[MaxDescriptionChars];
            wideFormat(build, MaxDescriptionChars, L"%ls (Build %d.%d.%d)", v.szCSDVersion,
                       static_cast<int>(v.dwMajorVersion), static_cast<int>(v.dwMinorVersion),
                       static_cast<int>(v.dwBuildNumber & 0xFFFF));
            wideAppend(text, textSize, build);
        } else {
            wideCopy(text, textSize, unknown);
        }
        break;
    default:
        wideCopy(text, textSize, unknown);
        break;
    }
    size_t length = 0;
    while (text[length])
        ++length;
    if (length >= MaxDescriptionChars || length >= size)
        return false;
    wideCopy(out, size, text);
    return true;
}

bool CSys_OsInfo::describe(wchar_t* out, size_t size)
{
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    bool extended = true;
    // GetVersionExW is deprecated for programs; it is the call that still
    // tells the service pack and suites of the systems the table knows.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        version = {};
        version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        extended = false;
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)))
            return false;
    }
#pragma GCC diagnostic pop
    return describe(version, extended, nativeArchitecture(), GetSystemMetrics(SM_SERVERR2) != 0, out, size);
}

} // namespace FTR
