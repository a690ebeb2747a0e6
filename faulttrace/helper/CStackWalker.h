#pragma once
// Walks the stack of a thread of another process from outside, with
// elfutils' libdwfl: the modules come from the process's memory map, the
// unwind tables and symbol tables from the module files and, where
// installed, their separate debug information. Runs in the helper program.

#include "faulttrace/helper/StackFrame.h"

#include <array>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace FTR {

class CStackWalker
{
public:
    // x86-64 registers in DWARF numbering: rax, rdx, rcx, rbx, rsi, rdi,
    // rbp, rsp, r8-r15, then the instruction pointer.
    using Registers = std::array<uint64_t, 17>;

    static constexpr size_t MaxFrames = 1024;

    // A module's symbol, at its address in the walked process.
    struct Symbol
    {
        uint64_t address = 0;
        uint64_t size = 0;
        int binding = 0; // STB_LOCAL, STB_GLOBAL or STB_WEAK
        std::string name;
    };

    // The frames of thread `tid` of process `pid`, starting from the
    // registers it had when it was interrupted (the signal's context), so
    // the crash handler's own frames are never part of it. The thread may
    // keep running elsewhere; its stack above those registers must not
    // change. Empty when the process cannot be read.
    static std::vector<StackFrame> walk(pid_t pid, pid_t tid, const Registers& registers);

    // The registers as the handler writes them: 17 hexadecimal words
    // separated by spaces; false when the text does not hold them.
    static bool parseRegisters(const std::string& text, Registers& out);

    // The readable name of the code at `lookup` (the return address less
    // one, for frames that called on) among `symbols` sorted by address:
    // the symbol holding it, global names before weak and local ones, else
    // the nearest symbol before it with "+0x" and the distance of `pc` from
    // it; empty when there is none.
    static std::string nameFor(uint64_t lookup, uint64_t pc, const std::vector<Symbol>& symbols);

    // Demangled C++ names; others unchanged.
    static std::string readableName(const std::string& symbol);
};

} // namespace FTR
