#include "platform/linux/EventLoopTaskQueue.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {

namespace {

const QEvent::Type taskEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

// Owns its task, so an event Qt drops unread (receiver gone) still frees it.
class TaskEvent : public QEvent
{
public:
    explicit TaskEvent(std::unique_ptr<UiTaskQueue::Task> task)
        : QEvent(taskEventType), task(std::move(task))
    {
    }

    std::unique_ptr<UiTaskQueue::Task> task;
};

} // namespace

std::unique_ptr<UiTaskQueue> UiTaskQueue::createForCurrentThread()
{
    return std::make_unique<EventLoopTaskQueue>();
}

EventLoopTaskQueue::EventLoopTaskQueue()
{
    receiver->setObjectName(QStringLiteral("UITask Dispatch Window"));
}

EventLoopTaskQueue::~EventLoopTaskQueue() = default;

void EventLoopTaskQueue::post(std::unique_ptr<Task> task)
{
    QCoreApplication::postEvent(receiver.get(), new TaskEvent(std::move(task)));
}

bool EventLoopTaskQueue::Receiver::event(QEvent* event)
{
    if (event->type() != taskEventType)
        return QObject::event(event);
    auto* taskEvent = static_cast<TaskEvent*>(event);
    // Take the task out first: it is freed once run even if it re-enters the loop.
    std::unique_ptr<Task> task = std::move(taskEvent->task);
    if (task && *task)
        (*task)();
    return true;
}

} // namespace platform
