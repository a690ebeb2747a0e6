#pragma once
// Lets the crash handling survive a fault of its own: a step run under the
// guard is abandoned when it faults, and the handling goes on with the next
// step. Crash context.

#include <csetjmp>

namespace FTR {

class CrashGuard
{
public:
    // Runs `step`; false when a fault cut it short.
    template <typename Step>
    static bool run(Step&& step)
    {
        sigjmp_buf here;
        sigjmp_buf* const outer = current;
        if (sigsetjmp(here, 1) == 0) {
            current = &here;
            step();
            current = outer;
            return true;
        }
        current = outer;
        return false;
    }

    // Called by the signal handler for a fault raised during the handling:
    // jumps back out of the guarded step if one is running, else returns.
    static void escape();

private:
    static sigjmp_buf* volatile current;
};

} // namespace FTR
