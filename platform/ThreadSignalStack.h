#pragma once

#include <cstddef>

// An alternate signal stack for the thread that creates it, removed again
// when it goes out of scope on that same thread. A thread whose own stack
// has overflowed can only run a signal handler (the crash reporter's) on
// such a stack; the system gives none to new threads, and the crash
// reporter sets one up only for the thread that starts it. Create one at the
// top of every thread function this program starts.
class ThreadSignalStack
{
public:
    ThreadSignalStack();
    ~ThreadSignalStack();
    ThreadSignalStack(const ThreadSignalStack&) = delete;
    ThreadSignalStack& operator=(const ThreadSignalStack&) = delete;

    // Whether this object installed a stack (false when the thread already
    // had one, which is then left as it is, or when memory ran out).
    bool installed() const { return memory != nullptr; }

    static constexpr size_t StackBytes = 256 * 1024;

private:
    void* memory = nullptr;
    size_t mappedBytes = 0;
};
