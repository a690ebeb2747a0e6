#include "online/ThreadPool.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace network {

ThreadPool::ThreadPool(const std::string& name) : poolName(name) {}

ThreadPool::~ThreadPool()
{
    bool wasRunning = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        wasRunning = running;
    }
    if (wasRunning)
        stop();
}

void ThreadPool::start()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        running = true;
    }
    threads.reserve(threadCount);
    for (int i = 0; i < threadCount; ++i) {
        auto thread = std::make_shared<Thread>([this] { workerLoop(); });
        thread->start();
        threads.push_back(thread);
    }
}

void ThreadPool::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        running = false;
        notEmpty.notify_all();
    }
    for (auto& thread : threads)
        thread->join();
}

void ThreadPool::post(Task task)
{
    if (threads.empty()) {
        runTask(task);
        return;
    }
    std::unique_lock<std::mutex> lock(mutex);
    notFull.wait(lock, [this] { return maxQueueSize == 0 || queue.size() < maxQueueSize; });
    queue.push_back(std::move(task));
    notEmpty.notify_one();
}

std::vector<std::string> ThreadPool::threadNames() const
{
    std::vector<std::string> names;
    for (const auto& thread : threads)
        names.push_back(thread->name());
    return names;
}

ThreadPool::Task ThreadPool::takeTask()
{
    std::unique_lock<std::mutex> lock(mutex);
    notEmpty.wait(lock, [this] { return !queue.empty() || !running; });
    Task task;
    if (!queue.empty()) {
        task = std::move(queue.front());
        queue.pop_front();
        if (maxQueueSize > 0)
            notFull.notify_one();
    }
    return task;
}

void ThreadPool::workerLoop()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!running)
                return;
        }
        Task task = takeTask();
        if (task)
            runTask(task);
    }
}

void ThreadPool::runTask(const Task& task)
{
    try {
        task();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "exception caught in ThreadPool %s\n", poolName.c_str());
        std::fprintf(stderr, "reason: %s\n", e.what());
        std::abort();
    } catch (...) {
        std::fprintf(stderr, "Unknown exception caught in ThreadPool %s\n", poolName.c_str());
        throw;
    }
}

} // namespace network
