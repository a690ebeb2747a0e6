// Crash path: plain copies of registers already in memory; no calls, no
// allocation, no locks, no stdio.

#include "faulttrace/linux/DumpContext.h"

#include "faulttrace/linux/ThreadCapture.h"

namespace FTR {

// Crash context.
void fillContext(MdContextAmd64& c, const ucontext_t* uc)
{
    c = MdContextAmd64();
    c.contextFlags = 0x0010000b; // AMD64: control, integer and floating-point registers
    const greg_t* g = uc->uc_mcontext.gregs;
    c.rax = static_cast<uint64_t>(g[REG_RAX]);
    c.rcx = static_cast<uint64_t>(g[REG_RCX]);
    c.rdx = static_cast<uint64_t>(g[REG_RDX]);
    c.rbx = static_cast<uint64_t>(g[REG_RBX]);
    c.rsp = static_cast<uint64_t>(g[REG_RSP]);
    c.rbp = static_cast<uint64_t>(g[REG_RBP]);
    c.rsi = static_cast<uint64_t>(g[REG_RSI]);
    c.rdi = static_cast<uint64_t>(g[REG_RDI]);
    c.r8 = static_cast<uint64_t>(g[REG_R8]);
    c.r9 = static_cast<uint64_t>(g[REG_R9]);
    c.r10 = static_cast<uint64_t>(g[REG_R10]);
    c.r11 = static_cast<uint64_t>(g[REG_R11]);
    c.r12 = static_cast<uint64_t>(g[REG_R12]);
    c.r13 = static_cast<uint64_t>(g[REG_R13]);
    c.r14 = static_cast<uint64_t>(g[REG_R14]);
    c.r15 = static_cast<uint64_t>(g[REG_R15]);
    c.rip = static_cast<uint64_t>(g[REG_RIP]);
    c.eflags = static_cast<uint32_t>(g[REG_EFL]);
    const auto segments = static_cast<uint64_t>(g[REG_CSGSFS]);
    c.cs = static_cast<uint16_t>(segments & 0xffff);
    c.gs = static_cast<uint16_t>((segments >> 16) & 0xffff);
    c.fs = static_cast<uint16_t>((segments >> 32) & 0xffff);
    if (uc->uc_mcontext.fpregs) {
        const auto* fx = reinterpret_cast<const uint8_t*>(uc->uc_mcontext.fpregs);
        for (size_t i = 0; i < sizeof c.floatSave; ++i)
            c.floatSave[i] = fx[i];
        c.mxCsr = uc->uc_mcontext.fpregs->mxcsr;
    }
}

// Crash context.
void fillContext(MdContextAmd64& c, const ThreadRecord& t)
{
    c = MdContextAmd64();
    c.contextFlags = 0x0010000b;
    const user_regs_struct& r = t.registers;
    c.rax = r.rax;
    c.rcx = r.rcx;
    c.rdx = r.rdx;
    c.rbx = r.rbx;
    c.rsp = r.rsp;
    c.rbp = r.rbp;
    c.rsi = r.rsi;
    c.rdi = r.rdi;
    c.r8 = r.r8;
    c.r9 = r.r9;
    c.r10 = r.r10;
    c.r11 = r.r11;
    c.r12 = r.r12;
    c.r13 = r.r13;
    c.r14 = r.r14;
    c.r15 = r.r15;
    c.rip = r.rip;
    c.eflags = static_cast<uint32_t>(r.eflags);
    c.cs = static_cast<uint16_t>(r.cs);
    c.ds = static_cast<uint16_t>(r.ds);
    c.es = static_cast<uint16_t>(r.es);
    c.fs = static_cast<uint16_t>(r.fs);
    c.gs = static_cast<uint16_t>(r.gs);
    c.ss = static_cast<uint16_t>(r.ss);
    const auto* fx = reinterpret_cast<const uint8_t*>(&t.floatingPoint);
    for (size_t i = 0; i < sizeof c.floatSave && i < sizeof t.floatingPoint; ++i)
        c.floatSave[i] = fx[i];
    c.mxCsr = t.floatingPoint.mxcsr;
}

} // namespace FTR
