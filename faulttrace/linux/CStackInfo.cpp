// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (plain system calls through SafeIo), no allocation, no locks, no stdio, no
// unwinding library: those read loader state and allocate, which a damaged
// heap or a held allocator lock turns into a second crash or a hang.
//
// What is written here is the fallback: the helper program walks the stack
// again from outside, with names, and puts its walk in place of these lines.

#include "faulttrace/linux/CStackInfo.h"

#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"

namespace FTR {

namespace {

// "[地址][偏移] 进程 函数" and CR LF, in the GBK code page, as the report has always carried it.
const unsigned char stackHeader[24] = {0x5B, 0xB5, 0xD8, 0xD6, 0xB7, 0x5D, 0x5B, 0xC6, 0xAB, 0xD2, 0xC6, 0x5D,
                                       0x20, 0xBD, 0xF8, 0xB3, 0xCC, 0x20, 0xBA, 0xAF, 0xCA, 0xFD, 0x0D, 0x0A};

// A runaway recursion can be tens of thousands of frames deep.
constexpr int MaxFrames = 1024;
constexpr size_t ScanChunkWords = 512;

// Crash context. The length of an indirect call (FF /2) that begins with
// these ModRM and SIB bytes.
int indirectCallLength(unsigned char modrm, unsigned char sib)
{
    const int mod = modrm >> 6;
    const int rm = modrm & 7;
    if (mod == 3)
        return 2;
    int length = 2;
    if (rm == 4) {
        ++length;
        if (mod == 0 && (sib & 7) == 5)
            length += 4;
    } else if (mod == 0 && rm == 5) {
        length += 4; // relative to the instruction pointer
    }
    if (mod == 1)
        length += 1;
    else if (mod == 2)
        length += 4;
    return length;
}

// Crash context. Whether the bytes before `address` end in a call
// instruction: direct (E8 rel32) or indirect through a register or memory.
bool followsCall(uint64_t address)
{
    unsigned char code[8] = {};
    if (address < sizeof code || !safeReadMemory(address - sizeof code, code, sizeof code))
        return false;
    const unsigned char* end = code + sizeof code;
    if (end[-5] == 0xE8)
        return true;
    for (int length = 2; length <= 7; ++length) {
        const unsigned char* call = end - length;
        if (call[0] == 0xFF && ((call[1] >> 3) & 7) == 2 && indirectCallLength(call[1], length > 2 ? call[2] : 0) == length)
            return true;
    }
    return false;
}

} // namespace

CStackInfo::CStackInfo(const CrashContext& crash)
    : CBaseInfo("[Stack Info]", crash)
{
}

// Crash context. One report line for the frame at `pc`.
void CStackInfo::writeFrame(int fd, uint64_t pc)
{
    char buffer[1024];
    SafeText line(buffer, sizeof buffer);
    const ModuleEntry* module = crash.maps->moduleAt(pc);
    if (module) {
        line.addChar('[').addHex(module->base).add("][").addHex(pc - module->base).add("]  ");
        line.add(CModuleList::baseName(crash.maps->path(module->path))).add("  ");
    } else {
        line.addChar('[').addHex(pc).add("]  UnkownModule  ");
    }
    line.add(lineBreak);
    writeText(fd, line.data(), line.size());
}

// Crash context. The faulting instruction, then every word on the stack,
// from the stack pointer to the end of its mapping, that points just behind
// a call instruction in a module's code: the return addresses, with perhaps
// a few stale ones among them. Nothing here can fault: every read goes
// through safeReadMemory.
void CStackInfo::scanStack(int fd)
{
    const greg_t* g = crash.context->uc_mcontext.gregs;
    writeFrame(fd, static_cast<uint64_t>(g[REG_RIP]));
    const StackRange stack = crash.maps->stackAt(static_cast<uint64_t>(g[REG_RSP]) & ~7ull, 0, 0);
    if (stack.start == stack.end)
        return;
    uint64_t at = stack.start;
    const uint64_t end = stack.end;
    int frames = 1;
    uint64_t words[ScanChunkWords];
    while (at < end && frames < MaxFrames) {
        uint64_t count = (end - at) / 8;
        if (count > ScanChunkWords)
            count = ScanChunkWords;
        if (!safeReadMemory(at, words, count * 8))
            return;
        for (uint64_t i = 0; i < count && frames < MaxFrames; ++i) {
            const uint64_t value = words[i];
            const MapEntry* code = crash.maps->mapAt(value);
            if (!code || !code->executable || !crash.maps->moduleAt(value) || !followsCall(value))
                continue;
            writeFrame(fd, value);
            ++frames;
        }
        at += count * 8;
    }
}

// Crash context.
bool CStackInfo::writeBody(int fd)
{
    writeText(fd, reinterpret_cast<const char*>(stackHeader), sizeof stackHeader);
    scanStack(fd);
    return writeText(fd, lineBreak, 2);
}

} // namespace FTR
