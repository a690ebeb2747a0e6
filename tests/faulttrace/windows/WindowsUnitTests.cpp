// The parts of the Windows crash handling that need no crash: the system
// description table, the report's number form and the configuration file
// under a name outside the ANSI code page. Prints one line per failure and
// "PASS" at the end; the exit status is the number of failures.

#include "faulttrace/CGlobalSet.h"
#include "faulttrace/windows/CSys_OsInfo.h"
#include "faulttrace/windows/WideText.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

using FTR::CSys_OsInfo;
using FTR::HexText;
using FTR::wideCopy;
using FTR::wideFormat;

int failures = 0;

void expectEqual(const wchar_t* what, const wchar_t* actual, const wchar_t* expected)
{
    if (std::wcscmp(actual, expected) != 0) {
        std::wprintf(L"FAIL %ls: \"%ls\", expected \"%ls\"\n", what, actual, expected);
        ++failures;
    }
}

void expectTrue(const wchar_t* what, bool condition)
{
    if (!condition) {
        std::wprintf(L"FAIL %ls\n", what);
        ++failures;
    }
}

OSVERSIONINFOEXW version(DWORD platform, DWORD major, DWORD minor, DWORD build, const wchar_t* servicePack,
                         BYTE productType = VER_NT_WORKSTATION, WORD suites = 0)
{
    OSVERSIONINFOEXW v = {};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    wideCopy(v.szCSDVersion, sizeof v.szCSDVersion / sizeof v.szCSDVersion[0], servicePack);
    v.wProductType = productType;
    v.wSuiteMask = suites;
    return v;
}

struct SystemCase
{
    const wchar_t* what;
    OSVERSIONINFOEXW version;
    WORD architecture;
    bool serverR2;
    const wchar_t* expected;
};

void systemDescriptionsFollowTheTable()
{
    constexpr WORD x86 = PROCESSOR_ARCHITECTURE_INTEL;
    constexpr WORD x64 = PROCESSOR_ARCHITECTURE_AMD64;
    const SystemCase cases[] = {
        {L"XP Professional", version(VER_PLATFORM_WIN32_NT, 5, 1, 2600, L"Service Pack 3"), x86, false,
         L"Microsoft Windows XP Professional Service Pack 3 (Build 5.1.2600)"},
        {L"XP Home", version(VER_PLATFORM_WIN32_NT, 5, 1, 2600, L"Service Pack 2", VER_NT_WORKSTATION,
                             VER_SUITE_PERSONAL),
         x86, false, L"Microsoft Windows XP Home Edition Service Pack 2 (Build 5.1.2600)"},
        {L"XP x64", version(VER_PLATFORM_WIN32_NT, 5, 2, 3790, L"Service Pack 2"), x64, false,
         L"Microsoft Windows XP Professional x64 Edition Service Pack 2 (Build 5.2.3790)"},
        {L"Server 2003 R2", version(VER_PLATFORM_WIN32_NT, 5, 2, 3790, L"", VER_NT_SERVER), x86, true,
         L"Microsoft Windows Server 2003 \"R2\" Standard Edition  (Build 5.2.3790)"},
        {L"Server 2003 x64 Enterprise",
         version(VER_PLATFORM_WIN32_NT, 5, 2, 3790, L"Service Pack 1", VER_NT_DOMAIN_CONTROLLER, VER_SUITE_ENTERPRISE),
         x64, false, L"Microsoft Windows Server 2003 Enterprise x64 Edition Service Pack 1 (Build 5.2.3790)"},
        {L"Server 2003 Web", version(VER_PLATFORM_WIN32_NT, 5, 2, 3790, L"", VER_NT_SERVER, VER_SUITE_BLADE), x86,
         false, L"Microsoft Windows Server 2003 Web Edition  (Build 5.2.3790)"},
        {L"2000 Advanced Server",
         version(VER_PLATFORM_WIN32_NT, 5, 0, 2195, L"Service Pack 4", VER_NT_SERVER, VER_SUITE_ENTERPRISE), x86,
         false, L"Microsoft Windows 2000 Advanced Server Service Pack 4 (Build 5.0.2195)"},
        {L"NT 4 Workstation", version(VER_PLATFORM_WIN32_NT, 4, 0, 1381, L"Service Pack 6"), x86, false,
         L"Microsoft Windows NT Workstation 4.0 Service Pack 6 (Build 4.0.1381)"},
        {L"NT 4 Server", version(VER_PLATFORM_WIN32_NT, 4, 0, 1381, L"", VER_NT_SERVER), x86, false,
         L"Microsoft Windows NT Server 4.0  (Build 4.0.1381)"},
        {L"Vista", version(VER_PLATFORM_WIN32_NT, 6, 0, 6002, L"Service Pack 2"), x86, false,
         L"Windows Vista Professional Service Pack 2 (Build 6.0.6002)"},
        {L"Longhorn server", version(VER_PLATFORM_WIN32_NT, 6, 0, 6001, L"", VER_NT_SERVER), x64, false,
         L"Windows Server \"Longhorn\" Server 4.0  (Build 6.0.6001)"},
        {L"Windows 7", version(VER_PLATFORM_WIN32_NT, 6, 1, 7601, L"Service Pack 1"), x64, false,
         L"Unknown System Version"},
        {L"Windows 10", version(VER_PLATFORM_WIN32_NT, 10, 0, 19045, L""), x64, false, L"Unknown System Version"},
        {L"95 OSR2", version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 1111, L" C"), x86, false,
         L"Microsoft Windows 95 OSR2"},
        {L"98 SE", version(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222, L" A"), x86, false, L"Microsoft Windows 98 SE"},
        {L"ME", version(VER_PLATFORM_WIN32_WINDOWS, 4, 90, 3000, L""), x86, false, L"Microsoft Windows ME"},
        {L"Win32s", version(VER_PLATFORM_WIN32s, 3, 10, 0, L""), x86, false, L"Microsoft Win32s"},
    };
    for (const SystemCase& c : cases) {
        wchar_t text[256] = {};
        expectTrue(c.what, CSys_OsInfo::describe(c.version, true, c.architecture, c.serverR2, text, 256));
        expectEqual(c.what, text, c.expected);
    }

    // Without the extended record there is no edition.
    wchar_t text[256] = {};
    CSys_OsInfo::describe(version(VER_PLATFORM_WIN32_NT, 5, 1, 2600, L"Service Pack 3"), false,
                          PROCESSOR_ARCHITECTURE_INTEL, false, text, 256);
    expectEqual(L"XP, short record", text, L"Microsoft Windows XP Service Pack 3 (Build 5.1.2600)");

    // A description that does not fit is dropped, not cut.
    expectTrue(L"a description longer than the buffer is dropped",
               !CSys_OsInfo::describe(version(VER_PLATFORM_WIN32_NT, 5, 1, 2600, L"Service Pack 3"), true,
                                      PROCESSOR_ARCHITECTURE_INTEL, false, text, 32));
}

void addressesReadInTheReportsForm()
{
    expectEqual(L"0x401000", HexText(4198400).text, L"0X00401000");
    expectEqual(L"0xabcd", HexText(43981).text, L"0X0000abcd");
    expectEqual(L"64-bit", HexText(0x140001000ull).text, L"0X140001000");
    expectEqual(L"16 digits", HexText(0x2b, 16).text, L"0X000000000000002b");
    expectEqual(L"zero", HexText(0).text, L"0X00000000");
}

void configurationFilesOpenUnderAnyName()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH] = {};
    wideFormat(path, MAX_PATH, L"%lsfaulttrace-\u00e9\u4e2d\u6587-%lu.ini", folder, GetCurrentProcessId());
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const char text[] = "[ServInfo]\r\nServAddr = ftp.example.org\r\nServPort = 2121\r\n[DumpInfo]\r\nDumpSys = false\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);

    FTR::CGlobalSet settings;
    expectTrue(L"the configuration file opens", settings.load(path));
    expectEqual(L"server address", settings.serverAddress.c_str(), L"ftp.example.org");
    expectTrue(L"server port", settings.serverPort == 2121);
    expectTrue(L"system section off", !settings.systemSection);
    DeleteFileW(path);
}

} // namespace

int wmain()
{
    systemDescriptionsFollowTheTable();
    addressesReadInTheReportsForm();
    configurationFilesOpenUnderAnyName();
    if (failures == 0)
        std::wprintf(L"PASS\n");
    return failures;
}
