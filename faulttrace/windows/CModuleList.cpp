#include "faulttrace/windows/CModuleList.h"

namespace FTR {

bool CModuleList::refresh()
{
    modules = 0;
    // A snapshot taken while a module is being loaded can fail with
    // ERROR_BAD_LENGTH; another try usually succeeds.
    HANDLE snapshot = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 5 && snapshot == INVALID_HANDLE_VALUE; ++attempt)
        snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && modules < MaxModules;
         more = Module32NextW(snapshot, &entry)) {
        table[modules++] = entry;
        entry.dwSize = sizeof entry;
    }
    CloseHandle(snapshot);
    return true;
}

const MODULEENTRY32W* CModuleList::moduleAt(uint64_t address) const
{
    for (size_t i = 0; i < modules; ++i) {
        const auto base = reinterpret_cast<uint64_t>(table[i].modBaseAddr);
        if (address >= base && address - base < table[i].modBaseSize)
            return &table[i];
    }
    return nullptr;
}

} // namespace FTR
