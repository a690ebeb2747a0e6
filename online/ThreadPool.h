#pragma once

#include "online/Thread.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace network {

// A fixed set of four workers taking tasks from one FIFO queue. An exception
// escaping a task ends the process: there is nobody to hand it to.
class ThreadPool
{
public:
    using Task = std::function<void()>;

    static constexpr int threadCount = 4;

    explicit ThreadPool(const std::string& name);
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;
    ~ThreadPool();

    void start();
    // Wakes every worker and joins them; queued tasks not yet taken stay unrun.
    void stop();
    // From any thread. Runs the task at once on the caller while the pool has
    // no workers.
    void post(Task task);

    const std::string& name() const { return poolName; }
    std::vector<std::string> threadNames() const;

private:
    Task takeTask();
    void workerLoop();
    void runTask(const Task& task);

    std::string poolName;
    bool running = false;
    std::vector<std::shared_ptr<Thread>> threads;
    std::deque<Task> queue;
    mutable std::mutex mutex;
    std::condition_variable notEmpty;
    std::condition_variable notFull;
    size_t maxQueueSize = 0; // 0: unbounded
};

} // namespace network
