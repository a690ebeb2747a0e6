// This process's memory figures and taking fresh pages in, on Windows.

#include "platform/ProcessMemory.h"

#include <windows.h>
#include <psapi.h>

#include <cstdint>

namespace {

bool counters(PROCESS_MEMORY_COUNTERS& out)
{
    out = {};
    out.cb = sizeof out;
    return GetProcessMemoryInfo(GetCurrentProcess(), &out, sizeof out) != 0;
}

} // namespace

qint64 ProcessMemory::residentBytes()
{
    PROCESS_MEMORY_COUNTERS info;
    return counters(info) ? static_cast<qint64>(info.WorkingSetSize) : -1;
}

qint64 ProcessMemory::peakResidentBytes()
{
    PROCESS_MEMORY_COUNTERS info;
    return counters(info) ? static_cast<qint64>(info.PeakWorkingSetSize) : -1;
}

void ProcessMemory::takePages(void* begin, std::size_t bytes)
{
    if (!begin || bytes == 0)
        return;
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const auto page = static_cast<std::uintptr_t>(system.dwPageSize ? system.dwPageSize : 4096);
    const auto first = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t aligned = first & ~(page - 1);
    // An atomic add of nothing maps each page writable without racing the
    // writer filling the same memory.
    for (std::uintptr_t at = aligned; at < first + bytes; at += page)
        __atomic_fetch_add(reinterpret_cast<unsigned char*>(at < first ? first : at), 0, __ATOMIC_RELAXED);
}

PageTaker::PageTaker(void* begin, std::size_t bytes)
    : helper([begin, bytes] { ProcessMemory::takePages(begin, bytes); })
{
}
