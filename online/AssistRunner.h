#pragma once

#include <QThread>

#include <memory>

namespace scbl::assist {

// The background thread that sends the daily usage report, synchronously, once.
class AssistRunner : public QThread
{
    Q_OBJECT

public:
    AssistRunner() = default;

    // The process's runner, or null when none was started. The thread object
    // stays alive after it finishes, and is never destroyed at exit, so a
    // report still in flight when the program ends cannot bring it down.
    static std::shared_ptr<AssistRunner> current();
    static void setCurrent(std::shared_ptr<AssistRunner> runner);

protected:
    void run() override;
};

} // namespace scbl::assist
