#pragma once
// One frame of a walked stack, as the report's stack section shows it.

#include <cstdint>
#include <string>

namespace FTR {

struct StackFrame
{
    uint64_t pc = 0;
    // The module holding the frame's code; without one the line reads "UnkownModule".
    bool inModule = false;
    uint64_t moduleBase = 0;
    std::string moduleName; // file name only
    // Readable function name; a name that is only the nearest symbol before
    // the address carries "+0x" and the distance from it.
    std::string function;
};

} // namespace FTR
