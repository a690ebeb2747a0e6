#pragma once
// Hands the work that needs allocation (naming the stack, network, ZIP,
// starting the post-mortem program) to the helper program in a fresh
// process, and waits for it within a bound. Crash context.

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace FTR {

struct CrashContext;
struct CrashState;

class HelperLauncher
{
public:
    explicit HelperLauncher(const CrashState& state);

    // Asks the public-address service; true when it answered, with the
    // address (possibly empty) in `out`. Waits at most until `deadlineMs`
    // of the monotonic clock as well as its own bound.
    bool lookupPublicAddress(char* out, size_t size, int64_t deadlineMs);

    // Lets the helper walk the crashing thread's stack from outside, pack
    // the report and the dump into the dump folder, upload the archive and
    // start the post-mortem program. Whatever the helper did not get done
    // (it is missing, crashed, hung or failed) the handler does itself:
    // start the post-mortem program, or remove the report and the dump when
    // that cannot be started either.
    void packageAndNotify(const CrashContext& crash, const char* addressAtStart, time_t crashTime,
                          int64_t deadlineMs);

    // Crash context: starts the post-mortem program, or removes the files
    // it would have read when it cannot be started.
    void startPostmortemDirectly();

private:
    const CrashState& state;
};

} // namespace FTR
