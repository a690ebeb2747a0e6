#pragma once

// A short-lived helper thread for work that only speeds something up
// (taking pages in ahead of a write): it runs on a signal stack of its own,
// so the crash reporter can still report a stack overflow there, and when
// the system cannot start another thread the work is simply not done ahead,
// instead of the program ending. Joined when it goes away.

#include "platform/ThreadSignalStack.h"

#include <system_error>
#include <thread>
#include <utility>

class HelperThread {
public:
    HelperThread() = default;
    template <typename Work>
    explicit HelperThread(Work&& work) { start(std::forward<Work>(work)); }
    ~HelperThread() { join(); }
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Whether the work runs (or ran) on a helper; false when none could start.
    template <typename Work>
    bool start(Work&& work)
    {
        join();
        try {
            thread = std::thread([work = std::forward<Work>(work)]() mutable {
                ThreadSignalStack signalStack;
                work();
            });
        } catch (const std::system_error&) {
            return false;
        }
        return true;
    }

    bool running() const { return thread.joinable(); }

    void join()
    {
        if (thread.joinable()) {
            thread.join();
        }
    }

private:
    std::thread thread;
};
