#include "online/Thread.h"

#include "platform/ThreadSignalStack.h"

#include <atomic>
#include <cstdio>

namespace network {

namespace {
std::atomic<int> constructedThreads{0};
}

Thread::Thread(Function func, const std::string& name)
    : func(std::move(func)), threadName(name)
{
    const int number = ++constructedThreads;
    if (threadName.empty()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "Thread%d", number);
        threadName = buffer;
    }
}

Thread::~Thread()
{
    if (isStarted && !isJoined && thread && thread->joinable())
        thread->detach();
}

void Thread::start()
{
    isStarted = true;
    // Each worker gets a signal stack of its own, so that a stack overflow
    // on it can still be reported.
    thread = std::make_shared<std::thread>([work = func] {
        ThreadSignalStack signalStack;
        work();
    });
}

void Thread::join()
{
    isJoined = true;
    if (thread && thread->joinable())
        thread->join();
}

} // namespace network
