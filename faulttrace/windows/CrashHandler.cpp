// The crash path on Windows.
//
// The top-level filter runs on the thread that raised the unhandled
// exception, and that thread may have next to no stack left: a stack
// overflow leaves it the few kilobytes of its guard region. So the filter
// only hands the exception to the handler thread, which FaultTraceInit
// started with a stack of its own and which has waited since, and waits for
// it within a bound. Nothing is started or loaded at crash time before the
// handler thread is running.
//
// The handler thread does the work in order: the minidump, the text report,
// the archive and its upload, the post-mortem program. Those calls (dbghelp,
// WinINet, Tool Help, process creation) take locks and allocate, so a crash
// inside the heap or the loader can make one of them wait for a lock the
// crashed thread holds. The bound covers that: it counts from the last sign
// that the handling moves (a step finished, or dbghelp reached the next
// thread or module of the minidump), so a slow
// dump of a large process (dbghelp under Wine reads every function's unwind
// data one call at a time) is not cut short while a stuck handling still
// ends. When it runs out, or the
// handler thread itself faults, the crashed thread starts the post-mortem
// program itself (or removes the files it would read) and the process ends.
//
// An atomic flag, not a lock, keeps a second crash from re-entering.

#include "faulttrace/windows/CrashHandler.h"

#include "faulttrace/windows/CDumpInfo.h"
#include "faulttrace/windows/CModuleList.h"
#include "faulttrace/windows/CReportHandle.h"
#include "faulttrace/windows/CrashContext.h"
#include "faulttrace/windows/CrashState.h"
#include "faulttrace/windows/PostmortemLauncher.h"
#include "faulttrace/windows/ReportPackage.h"
#include "faulttrace/windows/WideText.h"

#include <windows.h>
#include <dbghelp.h>

#include <atomic>

namespace FTR {

namespace {

// dbghelp's symbol loading and the stack walk want more than a small stack.
constexpr SIZE_T HandlerStackBytes = 1024 * 1024;
// A thread that crashes while another is being reported waits for that
// handling as the crashed thread does, and this much longer, before it lets
// the process end.
constexpr DWORD SecondCrashSlackMs = 5000;

struct Request
{
    EXCEPTION_POINTERS* pointers = nullptr;
    DWORD threadId = 0;
};

Request request;
HANDLE crashEvent = nullptr;
HANDLE doneEvent = nullptr;
HANDLE handlerThread = nullptr;
DWORD handlerThreadId = 0;
// The thread that called FaultTraceInit. When it ends without the process
// ending (Wine ends only the thread when a stack overflow leaves too little
// stack to report it), the handler thread ends too, so that it does not keep
// the process alive; a later crash is then handled on the crashed thread.
HANDLE armingThread = nullptr;
// The thread whose crash is being reported, 0 while none is.
std::atomic<DWORD> handlingThread{0};
// When the handling last finished a step (GetTickCount64), 0 before it starts.
std::atomic<ULONGLONG> lastStepAt{0};
// Set by whoever starts the post-mortem program (or removes the files), so
// that it happens once even when the bound runs out meanwhile.
std::atomic<bool> postmortemClaimed{false};
CModuleList moduleList;

void startPostmortemOnce(const CrashState& state)
{
    if (!postmortemClaimed.exchange(true))
        PostmortemLauncher(state).startOrRemoveFiles();
}

void stepDone()
{
    lastStepAt.store(GetTickCount64());
}

// Waits until `ends` (any of them) is signalled or the handling has gone
// `boundMs` without a sign that it moves. False when the wait itself failed.
bool waitWhileHandlingMoves(HANDLE* ends, DWORD count, DWORD boundMs)
{
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const ULONGLONG deadline = lastStepAt.load() + boundMs;
        if (now >= deadline)
            return true;
        const DWORD result = WaitForMultipleObjects(count, ends, FALSE, static_cast<DWORD>(deadline - now));
        if (result == WAIT_FAILED)
            return false;
        if (result != WAIT_TIMEOUT)
            return true;
    }
}

// "%Y%m%d%H%M%S" of the local time.
void localTimeStamp(wchar_t* out, size_t size)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wideFormat(out, size, L"%04d%02d%02d%02d%02d%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
               now.wSecond);
}

// dbghelp asks before each thread and module it writes into the minidump:
// each question is a sign that the dump moves. Everything is written as
// dbghelp proposes; no memory is added.
BOOL CALLBACK minidumpProgress(void*, const PMINIDUMP_CALLBACK_INPUT input, PMINIDUMP_CALLBACK_OUTPUT)
{
    stepDone();
    switch (input->CallbackType) {
    case IncludeModuleCallback:
    case IncludeThreadCallback:
    case ModuleCallback:
    case ThreadCallback:
    case ThreadExCallback:
        return TRUE;
    default:
        return FALSE;
    }
}

void writeMinidump(const Request& crash)
{
    HANDLE file = CreateFileW(L"FaultTrace.DMP", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = crash.threadId;
    exception.ExceptionPointers = crash.pointers;
    exception.ClientPointers = TRUE;
    MINIDUMP_CALLBACK_INFORMATION progress = {};
    progress.CallbackRoutine = minidumpProgress;
    MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpWithDataSegs, &exception, nullptr,
                      &progress);
    CloseHandle(file);
}

// The whole handling, on the handler thread (or on the crashed thread when
// the handler thread could not be started).
void handleCrash(const Request& crash)
{
    CrashState& state = crashState();
    // The archive is named with the address known when the handling starts;
    // the report's lookup fills the field in later.
    wchar_t addressAtStart[CrashState::FieldChars];
    wideCopy(addressAtStart, CrashState::FieldChars, state.publicAddress);
    wchar_t stamp[32];
    localTimeStamp(stamp, sizeof stamp / sizeof stamp[0]);

    // Symbols are loaded only for the modules the dump and the stack walk
    // touch: dbghelp otherwise reads the debug information of every module
    // in the process first, which under Wine takes longer than the bound.
    SymSetOptions(SymGetOptions() | SYMOPT_DEFERRED_LOADS);
    if (state.createDump)
        writeMinidump(crash);
    stepDone();

    CrashContext context;
    context.pointers = crash.pointers;
    context.threadId = crash.threadId;
    context.state = &state;
    context.modules = &moduleList;
    {
        CDumpInfo report(CreateFileW(L"FaultTrace.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        report.write(context);
    }
    stepDone();

    ReportPackage(state, addressAtStart, stamp).packAndUpload();
    stepDone();
    startPostmortemOnce(state);
    if (doneEvent)
        SetEvent(doneEvent);
}

DWORD WINAPI handlerMain(void*)
{
    HANDLE wakes[] = {crashEvent, armingThread};
    if (WaitForMultipleObjects(armingThread ? 2 : 1, wakes, FALSE, INFINITE) != WAIT_OBJECT_0)
        return 1;
    handleCrash(request);
    return 0;
}

LONG WINAPI crashFilter(EXCEPTION_POINTERS* pointers)
{
    const DWORD self = GetCurrentThreadId();
    if (self == handlerThreadId) {
        // The handling itself faulted. Ending this thread ends the crashed
        // thread's wait, and that thread finishes what is left.
        ExitThread(1);
    }
    DWORD expected = 0;
    if (!handlingThread.compare_exchange_strong(expected, self)) {
        // Another thread's crash is being reported, and the process ends when
        // that is done; or this thread faulted while reporting by itself.
        if (expected != self) {
            const DWORD bound = static_cast<DWORD>(crashState().handlingBoundMs);
            if (!doneEvent || !waitWhileHandlingMoves(&doneEvent, 1, bound))
                Sleep(bound);
            Sleep(SecondCrashSlackMs);
        }
        return EXCEPTION_EXECUTE_HANDLER;
    }
    const CrashState& state = crashState();
    request.pointers = pointers;
    request.threadId = self;
    stepDone();
    const bool handlerRunning = handlerThread && WaitForSingleObject(handlerThread, 0) == WAIT_TIMEOUT;
    if (handlerRunning && SetEvent(crashEvent)) {
        HANDLE ends[] = {doneEvent, handlerThread};
        waitWhileHandlingMoves(ends, 2, static_cast<DWORD>(state.handlingBoundMs));
    } else {
        handleCrash(request);
    }
    startPostmortemOnce(state);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void CrashHandler::arm()
{
    if (!handlerThread) {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &armingThread, SYNCHRONIZE,
                        FALSE, 0);
        crashEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        doneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (crashEvent && doneEvent)
            handlerThread = CreateThread(nullptr, HandlerStackBytes, handlerMain, nullptr,
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, &handlerThreadId);
    }
    CReportHandle::instance().install(crashFilter);
}

void CrashHandler::disarm()
{
    CReportHandle::instance().restorePrevious();
}

} // namespace FTR
