#pragma once

#include "platform/ModuleInstance.h"

#include <functional>

namespace network {

// Lets any thread have a function object run on the user-interface thread,
// for background work (an HTTP callback, say) whose result touches the user
// interface. Tasks run one at a time in posting order, also while a modal
// dialog runs its own loop.
class UiTaskDispatcher
{
public:
    using Task = std::function<void()>;

    // On the user-interface thread, before any worker that may post starts.
    static void initialize(platform::ModuleInstance moduleInstance);
    // From any thread; returns at once. A task posted before initialize or after
    // shutdown is not run, and an empty task is dropped: both are freed here.
    static void postTask(Task task);
    // On the user-interface thread. Tasks still queued are freed unrun.
    static void shutdown();
};

} // namespace network
