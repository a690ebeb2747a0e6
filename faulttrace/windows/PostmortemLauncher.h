#pragma once
// Starts the post-mortem program ("Postmortem.exe" beside the executable,
// with "-dump"), which finds FaultTrace.DMP and FaultTrace.txt in the
// current directory; when it cannot start, those files are removed.

namespace FTR {

struct CrashState;

class PostmortemLauncher
{
public:
    explicit PostmortemLauncher(const CrashState& state);

    // Starts the program and waits until it is idle (at most the state's
    // bound); false when it could not be started.
    bool start();
    // start(), and the removal of the report and the dump when that fails.
    void startOrRemoveFiles();

private:
    const CrashState& state;
};

} // namespace FTR
