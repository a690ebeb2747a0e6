#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace network {

// A named worker thread. An unnamed one takes "Thread%d" from a process-wide
// count of constructed threads (the first ever is Thread1). The name serves
// diagnostics only; it is not given to the system thread.
class Thread
{
public:
    using Function = std::function<void()>;

    explicit Thread(Function func, const std::string& name = std::string());
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // A started thread nobody joined is detached.
    ~Thread();

    void start();
    void join();

    const std::string& name() const { return threadName; }
    bool started() const { return isStarted; }
    bool joined() const { return isJoined; }

private:
    bool isStarted = false;
    bool isJoined = false;
    Function func;
    std::string threadName;
    std::shared_ptr<std::thread> thread;
};

} // namespace network
