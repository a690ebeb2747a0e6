#include "faulttrace/windows/CrashPreparation.h"

#include "faulttrace/CGlobalSet.h"
#include "faulttrace/windows/CrashState.h"
#include "faulttrace/windows/WideText.h"

#include <windows.h>

#include <cwchar>

#ifndef FAULTTRACE_DEFAULT_ADDRESS_SERVICE
#define FAULTTRACE_DEFAULT_ADDRESS_SERVICE ""
#endif
#define FAULTTRACE_WIDEN2(text) L##text
#define FAULTTRACE_WIDEN(text) FAULTTRACE_WIDEN2(text)

namespace FTR {

namespace {

CrashState& state = crashState();

void copyField(wchar_t* dest, size_t size, const std::wstring& text)
{
    wideCopy(dest, size, text.c_str());
}

// The executable's own folder, from the full path of the process's module.
void preparePaths()
{
    wchar_t exe[CrashState::PathChars] = {};
    const DWORD n = GetModuleFileNameW(nullptr, exe, CrashState::PathChars);
    std::wstring folder;
    if (n > 0 && n < CrashState::PathChars) {
        folder.assign(exe, n);
        const size_t backslash = folder.rfind(L'\\');
        folder.erase(backslash == std::wstring::npos ? 0 : backslash + 1);
    }
    copyField(state.exeDir, CrashState::PathChars, folder);
    copyField(state.dumpDir, CrashState::PathChars, folder + L"dump\\");
    copyField(state.postmortemPath, CrashState::PathChars, folder + L"Postmortem.exe");
}

} // namespace

void CrashPreparation::setAddressService(const std::wstring& service)
{
    std::wstring host = service;
    int port = 80;
    const size_t colon = host.rfind(L':');
    if (colon != std::wstring::npos && host.find(L']', colon) == std::wstring::npos) {
        const std::wstring digits = host.substr(colon + 1);
        wchar_t* end = nullptr;
        const long value = std::wcstol(digits.c_str(), &end, 10);
        if (!digits.empty() && end && *end == L'\0' && value > 0 && value < 65536)
            port = static_cast<int>(value);
        host.erase(colon);
    }
    copyField(state.addressHost, CrashState::FieldChars, host);
    state.addressPort = port;
}

void CrashPreparation::prepare(const CGlobalSet& settings)
{
    state.createDump = settings.createDump;
    state.systemSection = settings.systemSection;
    state.cpuSection = settings.cpuSection;
    state.stackSection = settings.stackSection;
    state.moduleSection = settings.moduleSection;
    state.serverPort = settings.serverPort;
    copyField(state.clientVersion, CrashState::FieldChars, settings.clientVersion);
    copyField(state.serverAddress, CrashState::FieldChars, settings.serverAddress);
    copyField(state.serverPath, CrashState::FieldChars, settings.serverPath);
    copyField(state.ftpUser, CrashState::FieldChars, settings.ftpUser);
    copyField(state.ftpPassword, CrashState::FieldChars, settings.ftpPassword);
    copyField(state.publicAddress, CrashState::FieldChars, settings.publicAddress);
    copyField(state.checkedFile, CrashState::FieldChars, settings.checkedFile);

    // The address service: the configuration's "IpServ", else the
    // environment's FAULTTRACE_IPSERV, else the one built in.
    std::wstring service = settings.addressService;
    if (service.empty()) {
        wchar_t fromEnvironment[CrashState::FieldChars] = {};
        const DWORD n = GetEnvironmentVariableW(L"FAULTTRACE_IPSERV", fromEnvironment, CrashState::FieldChars);
        service = n > 0 && n < CrashState::FieldChars ? fromEnvironment
                                                      : FAULTTRACE_WIDEN(FAULTTRACE_DEFAULT_ADDRESS_SERVICE);
    }
    setAddressService(service);
    preparePaths();
}

} // namespace FTR
