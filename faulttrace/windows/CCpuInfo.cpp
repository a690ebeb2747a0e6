#include "faulttrace/windows/CCpuInfo.h"

#include "faulttrace/windows/CrashContext.h"
#include "faulttrace/windows/WideText.h"

namespace FTR {

CCpuInfo::CCpuInfo(const CrashContext& crash)
    : CBaseInfo("[CPU(REGISTER) Info]", crash)
{
}

// The registers in pairs; on x86-64 the 64-bit registers in 16 digits, with
// the eight more that the architecture has.
bool CCpuInfo::writeBody(HANDLE file)
{
    const CONTEXT& c = *crash.pointers->ContextRecord;
    struct Pair
    {
        const wchar_t* left;
        uint64_t leftValue;
        const wchar_t* right;
        uint64_t rightValue;
        int digits;
    };
#if defined(_M_X64) || defined(__x86_64__)
    const Pair pairs[] = {
        {L"RAX", c.Rax, L"RBX", c.Rbx, 16},       {L"RCX", c.Rcx, L"RDX", c.Rdx, 16},
        {L"RDI", c.Rdi, L"RSI", c.Rsi, 16},       {L"RBP", c.Rbp, L"RSP", c.Rsp, 16},
        {L"R8 ", c.R8, L"R9 ", c.R9, 16},         {L"R10", c.R10, L"R11", c.R11, 16},
        {L"R12", c.R12, L"R13", c.R13, 16},       {L"R14", c.R14, L"R15", c.R15, 16},
        {L"RIP", c.Rip, L"EFlags", c.EFlags, 16}, {L"CS ", c.SegCs, L"DS ", c.SegDs, 8},
        {L"ES ", c.SegEs, L"FS ", c.SegFs, 8},    {L"GS ", c.SegGs, L"SS ", c.SegSs, 8},
    };
#else
    const Pair pairs[] = {
        {L"EAX", c.Eax, L"EBX", c.Ebx, 8},       {L"ECX", c.Ecx, L"EDX", c.Edx, 8},
        {L"EDI", c.Edi, L"ESI", c.Esi, 8},       {L"EBP", c.Ebp, L"ESP", c.Esp, 8},
        {L"EIP", c.Eip, L"EFlags", c.EFlags, 8}, {L"CS ", c.SegCs, L"DS ", c.SegDs, 8},
        {L"ES ", c.SegEs, L"FS ", c.SegFs, 8},   {L"GS ", c.SegGs, L"SS ", c.SegSs, 8},
    };
#endif
    wchar_t block[1024] = {};
    wchar_t line[128];
    for (const Pair& p : pairs) {
        wideFormat(line, sizeof line / sizeof line[0], L"%ls = %ls , %ls = %ls\r\n", p.left,
                   HexText(p.leftValue, p.digits).text, p.right, HexText(p.rightValue, p.digits).text);
        wideAppend(block, sizeof block / sizeof block[0], line);
    }
    wideAppend(block, sizeof block / sizeof block[0], lineBreak);
    return writeText(file, block);
}

} // namespace FTR
