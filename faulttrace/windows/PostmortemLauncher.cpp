#include "faulttrace/windows/PostmortemLauncher.h"

#include "faulttrace/windows/CrashState.h"
#include "faulttrace/windows/WideText.h"

#include <windows.h>

namespace FTR {

PostmortemLauncher::PostmortemLauncher(const CrashState& crashState)
    : state(crashState)
{
}

bool PostmortemLauncher::start()
{
    wchar_t commandLine[CrashState::PathChars + 16];
    wideFormat(commandLine, sizeof commandLine / sizeof commandLine[0], L"\"%ls\" -dump", state.postmortemPath);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    WaitForInputIdle(process.hProcess, static_cast<DWORD>(state.postmortemIdleMs));
    CloseHandle(process.hProcess);
    return true;
}

void PostmortemLauncher::startOrRemoveFiles()
{
    if (start())
        return;
    DeleteFileW(L"FaultTrace.txt");
    DeleteFileW(L"FaultTrace.DMP");
}

} // namespace FTR
