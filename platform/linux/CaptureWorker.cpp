#include "platform/linux/CaptureWorker.h"

#include "platform/ThreadSignalStack.h"

#include <QtGlobal>

#include <system_error>
#include <utility>

CaptureWorker::~CaptureWorker()
{
    wait();
}

void CaptureWorker::run(std::function<void()> job)
{
    wait();
    try {
        thread = std::thread([job] {
            const ThreadSignalStack signalStack;
            job();
        });
    } catch (const std::system_error& error) {
        // No thread to be had (out of memory or of threads): the work is
        // the same, only the GUI thread waits for it.
        qDebug("Screen capture: no thread to decode the picture on (%s); decoding it here", error.what());
        job();
    }
}

void CaptureWorker::wait()
{
    if (thread.joinable()) {
        thread.join();
    }
}
