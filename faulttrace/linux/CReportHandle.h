#pragma once
// Installs the crash handlers for the fatal signals and keeps the actions
// they replaced, so they can be given back. One process-wide instance.

#include <csignal>

namespace FTR {

class CReportHandle
{
public:
    static constexpr int SignalCount = 6;
    static const int signals[SignalCount];

    static CReportHandle& instance();

    // Normal context: installs `handler` for every fatal signal, keeping the
    // previous actions the first time.
    void install(void (*handler)(int, siginfo_t*, void*));
    // Normal context: gives back every previous action that was not the
    // default one; signals that had only the default keep the crash handler.
    void restoreKept();
    // Crash context: puts every previous action back, default ones included,
    // so that re-raising the signal ends the process as it would have ended.
    void restoreAllPrevious();

private:
    struct sigaction previous[SignalCount] = {};
    bool kept[SignalCount] = {};
};

} // namespace FTR
