#include "online/UiTaskDispatcher.h"

#include "platform/UiTaskQueue.h"

#include <memory>
#include <mutex>

namespace network {

namespace {

struct DispatcherState
{
    std::mutex mutex;
    platform::ModuleInstance moduleInstance = nullptr;
    std::unique_ptr<platform::UiTaskQueue> queue;
};

DispatcherState& state()
{
    static DispatcherState dispatcher;
    return dispatcher;
}

} // namespace

void UiTaskDispatcher::initialize(platform::ModuleInstance moduleInstance)
{
    auto queue = platform::UiTaskQueue::createForCurrentThread();
    std::lock_guard<std::mutex> lock(state().mutex);
    state().moduleInstance = moduleInstance;
    state().queue = std::move(queue);
}

void UiTaskDispatcher::postTask(Task task)
{
    // Running an empty task could only throw on the user-interface thread.
    if (!task)
        return;
    auto heapTask = std::make_unique<Task>(std::move(task));
    // The lock keeps shutdown from destroying the queue under a post in flight.
    std::lock_guard<std::mutex> lock(state().mutex);
    if (state().queue)
        state().queue->post(std::move(heapTask));
}

void UiTaskDispatcher::shutdown()
{
    std::unique_ptr<platform::UiTaskQueue> queue;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        queue = std::move(state().queue);
        state().moduleInstance = nullptr;
    }
    // Destroyed outside the lock: freeing queued tasks may run their destructors.
}

} // namespace network
