#pragma once
// The registers of the process's other threads at the crash. A thread cannot
// read another's registers, so a forked child stops them with ptrace, sends
// their registers back over a pipe and keeps them stopped until the dump is
// written. Crash context; every wait is bounded and failure only means the
// dump holds the crashing thread alone.

#include <cstddef>
#include <cstdint>
#include <sys/types.h>
#include <sys/user.h>

namespace FTR {

struct ThreadRecord
{
    int32_t threadId = 0;
    int32_t reserved = 0;
    user_regs_struct registers = {};
    user_fpregs_struct floatingPoint = {};
};

class ThreadCapture
{
public:
    static constexpr size_t MaxThreads = 256;

    // Stops every thread but `crashingThread` and collects their registers.
    bool start(pid_t crashingThread, int timeoutMs);
    // Lets the stopped threads run on.
    void finish();

    size_t count() const { return threads; }
    const ThreadRecord& thread(size_t i) const;

private:
    pid_t child = -1;
    int release = -1; // closing it tells the child to let go
    size_t threads = 0;
};

} // namespace FTR
