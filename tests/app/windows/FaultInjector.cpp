// Crashes a running program from outside, as a fault of its own would: a
// thread started in it at address 0 faults at once, and the program's
// unhandled-exception filter takes over.
//
//   FaultInjector.exe NAME.exe   the first running process of that image name

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

namespace {

DWORD findProcess(const wchar_t* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: FaultInjector.exe NAME.exe\n");
        return 2;
    }
    const DWORD pid = findProcess(argv[1]);
    if (!pid) {
        std::fwprintf(stderr, L"no process %ls\n", argv[1]);
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!process) {
        std::fwprintf(stderr, L"cannot open process %lu (error %lu)\n", pid, GetLastError());
        return 1;
    }
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, nullptr, nullptr, 0, nullptr);
    if (!thread) {
        std::fwprintf(stderr, L"cannot start a thread in %lu (error %lu)\n", pid, GetLastError());
        return 1;
    }
    std::fwprintf(stdout, L"faulted process %lu\n", pid);
    CloseHandle(thread);
    CloseHandle(process);
    return 0;
}
