// Crash path: runs inside the crashed process. No calls out besides write,
// no allocation, no locks, no stdio.

#include "faulttrace/linux/CCpuInfo.h"

#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/SafeText.h"

#include <cstdint>

namespace FTR {

CCpuInfo::CCpuInfo(const CrashContext& crash)
    : CBaseInfo("[CPU(REGISTER) Info]", crash)
{
}

// Crash context. The registers in pairs, 64-bit values in 16 digits; the
// data segment registers are not in the signal context and are read now,
// which in user mode gives the same selectors.
bool CCpuInfo::writeBody(int fd)
{
    const greg_t* g = crash.context->uc_mcontext.gregs;
    const auto segments = static_cast<uint64_t>(g[REG_CSGSFS]);
    uint16_t ds = 0, es = 0, ss = 0;
    asm volatile("mov %%ds, %0" : "=r"(ds));
    asm volatile("mov %%es, %0" : "=r"(es));
    asm volatile("mov %%ss, %0" : "=r"(ss));
    struct Pair
    {
        const char* left;
        uint64_t leftValue;
        const char* right;
        uint64_t rightValue;
        int digits;
    };
    const Pair pairs[] = {
        {"RAX = ", static_cast<uint64_t>(g[REG_RAX]), " , RBX = ", static_cast<uint64_t>(g[REG_RBX]), 16},
        {"RCX = ", static_cast<uint64_t>(g[REG_RCX]), " , RDX = ", static_cast<uint64_t>(g[REG_RDX]), 16},
        {"RDI = ", static_cast<uint64_t>(g[REG_RDI]), " , RSI = ", static_cast<uint64_t>(g[REG_RSI]), 16},
        {"RBP = ", static_cast<uint64_t>(g[REG_RBP]), " , RSP = ", static_cast<uint64_t>(g[REG_RSP]), 16},
        {"R8  = ", static_cast<uint64_t>(g[REG_R8]), " , R9  = ", static_cast<uint64_t>(g[REG_R9]), 16},
        {"R10 = ", static_cast<uint64_t>(g[REG_R10]), " , R11 = ", static_cast<uint64_t>(g[REG_R11]), 16},
        {"R12 = ", static_cast<uint64_t>(g[REG_R12]), " , R13 = ", static_cast<uint64_t>(g[REG_R13]), 16},
        {"R14 = ", static_cast<uint64_t>(g[REG_R14]), " , R15 = ", static_cast<uint64_t>(g[REG_R15]), 16},
        {"RIP = ", static_cast<uint64_t>(g[REG_RIP]), " , EFlags = ", static_cast<uint64_t>(g[REG_EFL]), 16},
        {"CS  = ", segments & 0xffff, " , DS  = ", ds, 8},
        {"ES  = ", es, " , FS  = ", (segments >> 32) & 0xffff, 8},
        {"GS  = ", (segments >> 16) & 0xffff, " , SS  = ", ss, 8},
    };
    char buffer[1024];
    SafeText block(buffer, sizeof buffer);
    for (const Pair& p : pairs) {
        block.add(p.left).addHex(p.leftValue, p.digits);
        block.add(p.right).addHex(p.rightValue, p.digits).add(lineBreak);
    }
    block.add(lineBreak);
    return writeText(fd, block.data(), block.size());
}

} // namespace FTR
