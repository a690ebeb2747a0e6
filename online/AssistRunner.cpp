#include "online/AssistRunner.h"

#include "online/UsageStatistics.h"
#include "platform/ThreadSignalStack.h"

#include <exception>
#include <iostream>
#include <mutex>

namespace scbl::assist {

namespace {

struct RunnerHolder
{
    std::mutex mutex;
    std::shared_ptr<AssistRunner> runner;
};

RunnerHolder& holder()
{
    // Deliberately never destroyed: destroying a QThread that still runs aborts.
    static auto* runnerHolder = new RunnerHolder;
    return *runnerHolder;
}

} // namespace

std::shared_ptr<AssistRunner> AssistRunner::current()
{
    std::lock_guard<std::mutex> lock(holder().mutex);
    return holder().runner;
}

void AssistRunner::setCurrent(std::shared_ptr<AssistRunner> runner)
{
    std::lock_guard<std::mutex> lock(holder().mutex);
    holder().runner = std::move(runner);
}

void AssistRunner::run()
{
    // A signal stack of its own, so that a stack overflow here can still be reported.
    ThreadSignalStack signalStack;
    try {
        UsageStatistics::instance().sendOnlineReport();
    } catch (const std::exception& e) {
        std::cout << e.what() << std::endl;
    }
}

} // namespace scbl::assist
