#pragma once

#include <functional>
#include <thread>

// Work of a desktop capture kept off the GUI thread (reading and decoding
// the desktop's picture), one job at a time. The job hands its result back
// to the GUI thread itself (a queued call on its owner); the owner waits for
// the job before it goes.
class CaptureWorker {
public:
    CaptureWorker() = default;
    ~CaptureWorker();
    CaptureWorker(const CaptureWorker&) = delete;
    CaptureWorker& operator=(const CaptureWorker&) = delete;

    // Runs `job` on a thread of its own, which has an alternate signal stack
    // for the crash reporter; when no thread can be started, runs it here
    // and now instead. Waits for the previous job first.
    void run(std::function<void()> job);

    // Returns once the current job, if any, is done.
    void wait();

private:
    std::thread thread;
};
