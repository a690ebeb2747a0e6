#include "faulttrace/windows/CrashState.h"

namespace FTR {

namespace {
// Constant-initialised: there is no constructor to run before a crash can read it.
CrashState state;
} // namespace

CrashState& crashState()
{
    return state;
}

} // namespace FTR
