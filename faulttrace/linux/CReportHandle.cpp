// restoreAllPrevious is on the crash path: sigaction only.

#include "faulttrace/linux/CReportHandle.h"

namespace FTR {

const int CReportHandle::signals[SignalCount] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};

namespace {
// Constant-initialised, so the crash path never meets a guarded static.
CReportHandle reportHandle;
} // namespace

CReportHandle& CReportHandle::instance()
{
    return reportHandle;
}

void CReportHandle::install(void (*handler)(int, siginfo_t*, void*))
{
    struct sigaction action = {};
    action.sa_sigaction = handler;
    sigemptyset(&action.sa_mask);
    // SA_NODEFER lets a fault inside the handling reach the handler again,
    // which then abandons only the step that faulted.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    for (int i = 0; i < SignalCount; ++i) {
        struct sigaction old = {};
        if (sigaction(signals[i], &action, &old) == 0 && !kept[i]) {
            if (old.sa_sigaction != handler) {
                previous[i] = old;
                kept[i] = true;
            }
        }
    }
}

void CReportHandle::restoreKept()
{
    for (int i = 0; i < SignalCount; ++i) {
        if (kept[i] && (previous[i].sa_flags & SA_SIGINFO || previous[i].sa_handler != SIG_DFL)) {
            sigaction(signals[i], &previous[i], nullptr);
            kept[i] = false;
        }
    }
}

void CReportHandle::restoreAllPrevious()
{
    for (int i = 0; i < SignalCount; ++i) {
        if (kept[i]) {
            sigaction(signals[i], &previous[i], nullptr);
        } else {
            struct sigaction fallback = {};
            fallback.sa_handler = SIG_DFL;
            sigemptyset(&fallback.sa_mask);
            sigaction(signals[i], &fallback, nullptr);
        }
    }
}

} // namespace FTR
