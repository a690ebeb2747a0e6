#pragma once
// Hands the work that needs allocation (network, ZIP, starting the
// post-mortem program) to the helper program in a fresh process, and waits
// for it within a bound. Crash context.

#include <cstddef>

namespace FTR {

struct CrashState;

class HelperLauncher
{
public:
    explicit HelperLauncher(const CrashState& state);

    // Asks the public-address service; true when it answered, with the
    // address (possibly empty) in `out`.
    bool lookupPublicAddress(char* out, size_t size);

    // Packs the report and the dump into `archiveName` in the dump folder,
    // uploads it and starts the post-mortem program. When the helper itself
    // cannot run, starts the post-mortem program directly.
    void packageAndNotify(const char* archiveName);

private:
    void startPostmortemDirectly();

    const CrashState& state;
};

} // namespace FTR
