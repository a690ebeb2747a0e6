#pragma once
// Starting and waiting for another program from the crash path: fork without
// the allocator's fork handlers, then execve; every wait is bounded. Crash
// context (and usable in normal context).

#include <sys/types.h>

namespace FTR {

class ChildProcess
{
public:
    // Starts `path` with `argv`; `stdinFd`/`stdoutFd` (or -1 to keep ours)
    // become its standard input and output, and `extraFd` (unless -1) its
    // descriptor 3. Returns false when the program could not be executed.
    bool start(const char* path, char* const argv[], int stdinFd, int stdoutFd, int extraFd = -1);

    // Waits at most `timeoutMs`, then kills the child. True when it exited by
    // itself; `exitCode` is its exit status (or -1 when it died of a signal).
    bool wait(int timeoutMs, int* exitCode);

    pid_t id() const { return pid; }

private:
    pid_t pid = -1;
};

} // namespace FTR
