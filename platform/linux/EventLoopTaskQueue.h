#pragma once

#include "platform/UiTaskQueue.h"

#include <QObject>

#include <memory>

namespace platform {

// The Linux side of UiTaskQueue: a hidden receiver object living on the owner
// thread, fed through Qt's per-thread posted-event queue. Posted events keep
// their order, every event loop of the thread (modal ones too) delivers them,
// and destroying the receiver discards and frees whatever is still queued.
class EventLoopTaskQueue : public UiTaskQueue
{
public:
    EventLoopTaskQueue();
    ~EventLoopTaskQueue() override;

    void post(std::unique_ptr<Task> task) override;

private:
    class Receiver : public QObject
    {
    public:
        bool event(QEvent* event) override;
    };

    std::unique_ptr<Receiver> receiver = std::make_unique<Receiver>();
};

} // namespace platform
