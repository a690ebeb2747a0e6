#pragma once
// Writes a standard minidump (MDMP) of the crashing thread: system info, the
// thread with its registers and stack, the exception, the module list with
// build-id records and the modules' writable data. Crash context only:
// plain writes of memory prepared in advance, no allocation, no locks.

#include <csignal>
#include <cstdint>
#include <sys/types.h>
#include <ucontext.h>

namespace FTR {

class CModuleList;
class ThreadCapture;
struct CrashState;

class MinidumpWriter
{
public:
    // The format's offsets are 32 bits: no byte may lie past 4 GiB.
    static constexpr uint64_t MaxDumpBytes = 1ull << 32;

    // `others`, when given, adds the other threads stopped at the crash.
    // Memory that would take the file past `sizeLimit` is left out, so that
    // every offset stays valid; the small records after it always fit.
    MinidumpWriter(const CrashState& state, const CModuleList& maps, const siginfo_t* info,
                   const ucontext_t* context, pid_t threadId, const ThreadCapture* others = nullptr,
                   uint64_t sizeLimit = MaxDumpBytes);

    // Writes the dump to `fd` from its current start; false on a write failure.
    bool write(int fd);

private:
    const CrashState& state;
    const CModuleList& maps;
    const siginfo_t* info;
    const ucontext_t* context;
    pid_t threadId;
    const ThreadCapture* others;
    uint64_t sizeLimit;
};

} // namespace FTR
