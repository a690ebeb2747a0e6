#pragma once
// The process's loaded modules from a Tool Help snapshot, in snapshot order,
// kept in a fixed table.

#include <windows.h>
#include <tlhelp32.h>

#include <cstddef>
#include <cstdint>

namespace FTR {

class CModuleList
{
public:
    static constexpr size_t MaxModules = 1024;

    // Takes a new snapshot; false when none could be taken.
    bool refresh();

    size_t count() const { return modules; }
    const MODULEENTRY32W& module(size_t i) const { return table[i]; }
    // The module whose range [base, base + size) holds `address`, or null.
    const MODULEENTRY32W* moduleAt(uint64_t address) const;

private:
    MODULEENTRY32W table[MaxModules];
    size_t modules = 0;
};

} // namespace FTR
