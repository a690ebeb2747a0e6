#pragma once
// Writes a standard minidump (MDMP) of the crashing thread: system info, the
// thread with its registers and stack, the exception, the module list with
// build-id records and the modules' writable data. Crash context only.

#include <csignal>
#include <sys/types.h>
#include <ucontext.h>

namespace FTR {

class CModuleList;
class ThreadCapture;
struct CrashState;

class MinidumpWriter
{
public:
    // `others`, when given, adds the other threads stopped at the crash.
    MinidumpWriter(const CrashState& state, const CModuleList& maps, const siginfo_t* info,
                   const ucontext_t* context, pid_t threadId, const ThreadCapture* others = nullptr);

    // Writes the dump to `fd` from its current start; false on a write failure.
    bool write(int fd);

private:
    const CrashState& state;
    const CModuleList& maps;
    const siginfo_t* info;
    const ucontext_t* context;
    pid_t threadId;
    const ThreadCapture* others;
};

} // namespace FTR
