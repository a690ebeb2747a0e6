// Crash path: the one process-wide state, constant-initialised, so reaching
// it never runs a guarded static's lock.

#include "faulttrace/linux/CrashState.h"

namespace FTR {

namespace {
CrashState state;
} // namespace

CrashState& crashState()
{
    return state;
}

} // namespace FTR
