#pragma once
// The Windows side of UiTaskQueue: a hidden message-only window of the
// owner thread, woken by a posted window message for each task. Every
// message loop of the thread (modal ones too) dispatches those messages; the
// tasks themselves wait in a list of the queue's own, so the ones still
// waiting when it goes away are freed unrun.

#include "platform/UiTaskQueue.h"

#include <deque>
#include <memory>
#include <mutex>

namespace platform {

class MessageWindowTaskQueue : public UiTaskQueue
{
public:
    MessageWindowTaskQueue();
    ~MessageWindowTaskQueue() override;

    void post(std::unique_ptr<Task> task) override;

    // The message-only window (an HWND); null when it could not be made.
    void* window() const { return hwnd; }

    // Runs the oldest waiting task; the window's procedure calls it.
    void runNext();

private:

    void* hwnd = nullptr;
    std::mutex mutex;
    std::deque<std::unique_ptr<Task>> waiting;
};

} // namespace platform
