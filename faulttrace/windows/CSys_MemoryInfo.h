#pragma once
// Physical memory from "GlobalMemoryStatusEx", looked up in "kernel32.dll".

#include <windows.h>

#include <cstdint>

namespace FTR {

class CSys_MemoryInfo
{
public:
    CSys_MemoryInfo();
    ~CSys_MemoryInfo();
    CSys_MemoryInfo(const CSys_MemoryInfo&) = delete;
    CSys_MemoryInfo& operator=(const CSys_MemoryInfo&) = delete;

    // Total and available physical memory in bytes; false when the system does not say.
    bool read(uint64_t& totalBytes, uint64_t& availableBytes) const;

private:
    HMODULE kernel32 = nullptr;
};

} // namespace FTR
