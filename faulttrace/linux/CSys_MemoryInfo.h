#pragma once
// Physical memory from the kernel (/proc/meminfo). Crash context.

#include <cstdint>

namespace FTR {

class CSys_MemoryInfo
{
public:
    // Total and available memory in kB; false when the kernel does not say.
    static bool read(uint64_t& totalKb, uint64_t& availableKb);
    // The same from meminfo text.
    static bool parse(const char* meminfo, uint64_t& totalKb, uint64_t& availableKb);
};

} // namespace FTR
