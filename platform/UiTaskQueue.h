#pragma once

#include <functional>
#include <memory>

namespace platform {

// Runs function objects on the thread that created the queue (the user-interface
// thread), one at a time and in posting order, interleaved with that thread's
// other events. Whatever loop serves the thread serves the queue too, modal
// dialog loops included.
class UiTaskQueue
{
public:
    using Task = std::function<void()>;

    virtual ~UiTaskQueue() = default;

    // Called from any thread. Ownership of the task passes to the queue, which
    // runs it and frees it on the owner thread, or frees it unrun when the
    // queue is destroyed first.
    virtual void post(std::unique_ptr<Task> task) = 0;

    // Creates a queue served by the calling thread's event loop. The queue must
    // also be destroyed on that thread.
    static std::unique_ptr<UiTaskQueue> createForCurrentThread();
};

} // namespace platform
