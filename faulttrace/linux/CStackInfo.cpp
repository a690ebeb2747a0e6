#include "faulttrace/linux/CStackInfo.h"

#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/linux/SafeText.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>

namespace FTR {

namespace {

// "[地址][偏移] 进程 函数" and CR LF, in the GBK code page, as the report has always carried it.
const unsigned char stackHeader[24] = {0x5B, 0xB5, 0xD8, 0xD6, 0xB7, 0x5D, 0x5B, 0xC6, 0xAB, 0xD2, 0xC6, 0x5D,
                                       0x20, 0xBD, 0xF8, 0xB3, 0xCC, 0x20, 0xBA, 0xAF, 0xCA, 0xFD, 0x0D, 0x0A};

// A runaway recursion can be tens of thousands of frames deep.
constexpr int MaxFrames = 1024;

} // namespace

CStackInfo::CStackInfo(const CrashContext& crash)
    : CBaseInfo("[Stack Info]", crash)
{
}

// Crash context. One report line for the frame at `pc`.
void CStackInfo::writeFrame(int fd, uint64_t pc, const char* name)
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
    line.add(name).add(lineBreak);
    writeText(fd, line.data(), line.size());
}

// Crash context. Follows the frame-pointer chain with reads that cannot
// fault; used when libunwind would have to read headers that are gone, which
// it does with every signal blocked, so a fault there would end the process.
void CStackInfo::walkFramePointers(int fd)
{
    const greg_t* g = crash.context->uc_mcontext.gregs;
    writeFrame(fd, static_cast<uint64_t>(g[REG_RIP]), "");
    uint64_t frame = static_cast<uint64_t>(g[REG_RBP]);
    for (int i = 1; i < MaxFrames && frame; ++i) {
        uint64_t link[2] = {};
        if (!safeReadMemory(frame, link, sizeof link) || link[1] == 0 || link[0] <= frame)
            break;
        writeFrame(fd, link[1], "");
        frame = link[0];
    }
}

// Crash context. libunwind's local unwinding is documented as safe in a
// signal handler; starting from the signal context begins the walk at the
// faulting instruction.
bool CStackInfo::writeBody(int fd)
{
    writeText(fd, reinterpret_cast<const char*>(stackHeader), sizeof stackHeader);
    if (crash.maps->hasDamagedModules()) {
        walkFramePointers(fd);
        return writeText(fd, lineBreak, 2);
    }
    unw_cursor_t cursor;
    auto* context = reinterpret_cast<unw_context_t*>(const_cast<ucontext_t*>(crash.context));
    if (unw_init_local2(&cursor, context, UNW_INIT_SIGNAL_FRAME) == 0) {
        char name[512];
        for (int frame = 0; frame < MaxFrames; ++frame) {
            unw_word_t pc = 0;
            if (unw_get_reg(&cursor, UNW_REG_IP, &pc) < 0 || pc == 0)
                break;
            unw_word_t offset = 0;
            if (unw_get_proc_name(&cursor, name, sizeof name, &offset) < 0)
                name[0] = '\0';
            writeFrame(fd, pc, name);
            if (unw_step(&cursor) <= 0)
                break;
        }
    }
    return writeText(fd, lineBreak, 2);
}

} // namespace FTR
