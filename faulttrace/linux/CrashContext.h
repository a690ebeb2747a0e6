#pragma once
// What one crash handling knows about the fault, handed to the report
// sections in place of the exception pointers. Crash context.

#include <csignal>
#include <cstdint>
#include <sys/types.h>
#include <ucontext.h>

namespace FTR {

class CModuleList;
struct CrashState;

struct CrashContext
{
    const siginfo_t* info = nullptr;
    const ucontext_t* context = nullptr;
    pid_t threadId = 0;
    CrashState* state = nullptr;
    CModuleList* maps = nullptr;
    // Monotonic milliseconds by which the helper runs must be over.
    int64_t deadlineMs = 0;
};

} // namespace FTR
