// The crash path. Everything reachable from crashSignalHandler runs inside a
// process that has just faulted: its heap may be corrupt and any lock may be
// held by the thread that died, the allocator's and the loader's included.
// The rules for this code:
//   - no malloc or new, no locks, no stdio, no C++ exceptions, no unwinding
//     or symbol libraries, no dladdr or dl_iterate_phdr;
//   - only async-signal-safe calls (open, read, write, close, lseek, _Fork,
//     execve, waitpid, nanosleep, sigaction, alarm, ...) and plain system
//     calls (process_vm_readv, prctl, tgkill), on memory prepared by
//     FaultTraceInit;
//   - every function says which context it runs in: normal (FaultTraceInit,
//     FaultTraceEnd) or crash;
//   - heavy work (walking and naming the stack from outside, ZIP, FTP, the
//     address lookup, starting the post-mortem program) happens in the
//     helper program, started with _Fork/execve and waited for with a bound;
//   - the whole handling is bounded: an alarm re-raises the signal when it
//     runs out, whatever is still going on;
//   - afterwards the previous actions are restored and the signal re-raised,
//     so the process ends the way it would have without us;
//   - an atomic flag, not a mutex, keeps a second crash from re-entering.

#include "faulttrace/linux/CrashHandler.h"

#include "faulttrace/linux/CDumpInfo.h"
#include "faulttrace/linux/CReportHandle.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashGuard.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/HelperLauncher.h"
#include "faulttrace/linux/MinidumpWriter.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"
#include "faulttrace/linux/ThreadCapture.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace FTR {

namespace {

constexpr size_t AltStackBytes = 256 * 1024;
// Time kept back from the helper's bound for the handler's own last steps.
constexpr int ReserveMs = 2000;

// The thread handling a crash, 0 while none is.
std::atomic<int> handlingThread{0};
static_assert(std::atomic<int>::is_always_lock_free, "the re-entry flag must not take a lock");
volatile sig_atomic_t originalSignal = 0;
CModuleList moduleList;

// The actions of the signals the handling borrows, given back at the end.
struct sigaction pipeAction = {};
struct sigaction alarmAction = {};
volatile sig_atomic_t borrowed = 0;

// Crash context: puts back everything the handling changed, so that the
// signal sent next ends the process as it would have ended.
void restoreActions()
{
    if (borrowed) {
        borrowed = 0;
        alarm(0);
        sigaction(SIGALRM, &alarmAction, nullptr);
        sigaction(SIGPIPE, &pipeAction, nullptr);
    }
    CReportHandle::instance().restoreAllPrevious();
}

// Crash context: the alarm that bounds the handling. It may arrive on any
// thread; the original signal goes to the thread that crashed.
void boundReached(int)
{
    restoreActions();
    syscall(SYS_tgkill, getpid(), static_cast<pid_t>(handlingThread.load()), static_cast<int>(originalSignal));
}

// Crash context: writing to a helper that has died must give EPIPE rather
// than end the process with SIGPIPE, and the handling gets its time bound.
void beginHandling(int boundMs)
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &pipeAction);

    struct sigaction bound = {};
    bound.sa_handler = boundReached;
    sigemptyset(&bound.sa_mask);
    bound.sa_flags = SA_ONSTACK;
    sigaction(SIGALRM, &bound, &alarmAction);
    borrowed = 1;
    sigset_t alarmOnly;
    sigemptyset(&alarmOnly);
    sigaddset(&alarmOnly, SIGALRM);
    sigprocmask(SIG_UNBLOCK, &alarmOnly, nullptr);
    alarm(static_cast<unsigned>((boundMs + 999) / 1000));

    // The helper reads this process from outside; a process that made
    // itself undumpable would refuse it (and the dump's thread capture).
    if (prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 1)
        prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
}

// Crash context.
void handleCrash(siginfo_t* info, ucontext_t* context, int threadId, int64_t deadlineMs)
{
    CrashState& state = crashState();
    // The archive is named with the address known when the handling starts,
    // and the time of the crash (the helper turns it into local time).
    char addressAtStart[CrashState::FieldBytes];
    safeCopy(addressAtStart, sizeof addressAtStart, state.publicAddress);
    const time_t crashTime = time(nullptr);

    CrashContext crash;
    crash.info = info;
    crash.context = context;
    crash.threadId = threadId;
    crash.state = &state;
    crash.maps = &moduleList;
    crash.deadlineMs = deadlineMs - ReserveMs;
    moduleList.refresh();

    if (state.createDump) {
        const int fd = safeCreate("FaultTrace.DMP");
        if (fd >= 0) {
            ThreadCapture others;
            const bool haveOthers = others.start(threadId, 2000);
            CrashGuard::run([&] {
                MinidumpWriter(state, moduleList, info, context, threadId, haveOthers ? &others : nullptr).write(fd);
            });
            others.finish();
            safeClose(fd);
        }
    }
    CrashGuard::run([&] {
        CDumpInfo report(safeCreate("FaultTrace.txt"));
        report.write(crash);
    });

    HelperLauncher(state).packageAndNotify(crash, addressAtStart, crashTime, deadlineMs - ReserveMs);
}

// Crash context: ends the process with `sig` through the actions that were
// there before ours. A fault raised by the hardware comes back by itself
// when the instruction runs again; anything else is sent anew, a trap too,
// since the instruction after the breakpoint is what would run again.
void reraise(int sig, const siginfo_t* info)
{
    restoreActions();
    const bool fromHardware = info && info->si_code > 0 && sig != SIGABRT && sig != SIGTRAP;
    if (!fromHardware)
        syscall(SYS_tgkill, getpid(), static_cast<pid_t>(syscall(SYS_gettid)), sig);
}

// Crash context: the installed handler for every fatal signal.
void crashSignalHandler(int sig, siginfo_t* info, void* rawContext)
{
    const int self = static_cast<int>(safeThreadId());
    int expected = 0;
    if (!handlingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) {
            // A fault inside our own handling: abandon that step, or if no
            // step was guarded, end the process with the first signal.
            CrashGuard::escape();
            restoreActions();
            syscall(SYS_tgkill, getpid(), static_cast<pid_t>(self), static_cast<int>(originalSignal));
            return;
        }
        // Another thread is already reporting; the process ends when it is
        // done, at the latest when its bound runs out. This wait is bounded
        // too, in case even that alarm cannot be delivered.
        const int64_t deadline = safeNowMs() + crashState().handlingBoundMs + 5000;
        while (safeNowMs() < deadline)
            safeSleepMs(50);
        reraise(sig, info);
        return;
    }
    originalSignal = sig;
    if (crashState().armed) {
        const int boundMs = crashState().handlingBoundMs;
        const int64_t deadline = safeNowMs() + boundMs;
        beginHandling(boundMs);
        handleCrash(info, static_cast<ucontext_t*>(rawContext), self, deadline);
    }
    reraise(sig, info);
}

} // namespace

void CrashHandler::arm()
{
    static void* altStack = nullptr;
    if (!altStack) {
        void* memory = mmap(nullptr, AltStackBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory != MAP_FAILED)
            altStack = memory;
    }
    if (altStack) {
        stack_t ss = {};
        ss.ss_sp = altStack;
        ss.ss_size = AltStackBytes;
        sigaltstack(&ss, nullptr);
    }
    crashState().armed = true;
    CReportHandle::instance().install(crashSignalHandler);
}

void CrashHandler::disarm()
{
    CReportHandle::instance().restoreKept();
}

} // namespace FTR
