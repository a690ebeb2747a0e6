// The crash path. Everything reachable from crashSignalHandler runs inside a
// process that has just faulted: its heap may be corrupt and any lock may be
// held by the thread that died. The rules for this code:
//   - no malloc or new, no locks, no stdio, no C++ exceptions;
//   - only async-signal-safe calls (open, read, write, close, lseek, _Fork,
//     execve, waitpid, nanosleep, ...), on memory prepared by FaultTraceInit;
//   - every function says which context it runs in: normal (FaultTraceInit,
//     FaultTraceEnd) or crash;
//   - heavy work (ZIP, FTP, the address lookup, starting the post-mortem
//     program, demangling) happens in the helper program, started with
//     _Fork/execve and waited for with a bound;
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
#include "faulttrace/linux/SafeText.h"
#include "faulttrace/linux/ThreadCapture.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include <atomic>
#include <csignal>
#include <ctime>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace FTR {

namespace {

constexpr size_t AltStackBytes = 256 * 1024;

// The thread handling a crash, 0 while none is.
std::atomic<int> handlingThread{0};
static_assert(std::atomic<int>::is_always_lock_free, "the re-entry flag must not take a lock");
int originalSignal = 0;
CModuleList moduleList;

// Crash context: "%Y%m%d%H%M%S" in local time from the offset taken at init.
void formatTimeStamp(char* out, size_t size)
{
    SafeText text(out, size);
    const time_t now = time(nullptr);
    if (now == static_cast<time_t>(-1))
        return;
    const long long local = static_cast<long long>(now) + crashState().utcOffsetSeconds;
    long long days = local / 86400;
    long long seconds = local % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    // Civil date from a day count (proleptic Gregorian calendar).
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    auto two = [&text](long long v) {
        text.addChar(static_cast<char>('0' + v / 10)).addChar(static_cast<char>('0' + v % 10));
    };
    text.addDecimal(year);
    two(month);
    two(day);
    two(seconds / 3600);
    two(seconds / 60 % 60);
    two(seconds % 60);
}

// Crash context.
void handleCrash(siginfo_t* info, ucontext_t* context, int threadId)
{
    CrashState& state = crashState();
    // The archive is named with the address known when the handling starts.
    char addressAtStart[CrashState::FieldBytes];
    safeCopy(addressAtStart, sizeof addressAtStart, state.publicAddress);
    char stamp[32];
    formatTimeStamp(stamp, sizeof stamp);

    CrashContext crash;
    crash.info = info;
    crash.context = context;
    crash.threadId = threadId;
    crash.state = &state;
    crash.maps = &moduleList;
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

    char archiveName[256];
    SafeText name(archiveName, sizeof archiveName);
    name.add(state.clientVersion).add("_FaultTrace[").add(addressAtStart).addChar('-').add(stamp).add("].zip");
    // The version and address come from outside: a slash in them must not
    // move the archive out of the dump folder.
    for (char* c = archiveName; *c; ++c) {
        if (*c == '/')
            *c = '_';
    }
    HelperLauncher(state).packageAndNotify(archiveName);
}

// Crash context: ends the process with `sig` through the actions that were
// there before ours. A fault raised by the hardware comes back by itself
// when the instruction runs again; anything else is sent anew.
void reraise(int sig, const siginfo_t* info)
{
    CReportHandle::instance().restoreAllPrevious();
    const bool fromHardware = info && info->si_code > 0 && sig != SIGABRT;
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
            CReportHandle::instance().restoreAllPrevious();
            syscall(SYS_tgkill, getpid(), static_cast<pid_t>(self), originalSignal);
            return;
        }
        // Another thread is already reporting; the process ends when it is
        // done. Waiting is bounded so that a stuck report cannot hang us.
        const CrashState& state = crashState();
        const int64_t deadline = safeNowMs() + state.lookupWaitMs + state.packageWaitMs + 30000;
        while (safeNowMs() < deadline)
            safeSleepMs(50);
        reraise(sig, info);
        return;
    }
    originalSignal = sig;
    if (crashState().armed)
        handleCrash(info, static_cast<ucontext_t*>(rawContext), self);
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
    // libunwind's shared cache is guarded by a lock the crash path must not
    // meet; without the cache every walk starts afresh, which a crash can afford.
    unw_set_caching_policy(unw_local_addr_space, UNW_CACHE_NONE);
    crashState().armed = true;
    CReportHandle::instance().install(crashSignalHandler);
}

void CrashHandler::disarm()
{
    CReportHandle::instance().restoreKept();
}

} // namespace FTR
