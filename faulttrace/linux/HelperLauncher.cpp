// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (pipe2, _Fork, execve, write, read, poll, waitpid, prctl, unlink), no
// allocation, no locks, no stdio; the request is built in a static buffer.

#include "faulttrace/linux/HelperLauncher.h"

#include "faulttrace/linux/ChildProcess.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <ucontext.h>
#include <unistd.h>

namespace FTR {

namespace {

// Request block: "key\0value\0" pairs; crash context builds it in place.
char request[16 * 1024];

// What the helper reports on its descriptor 3 as it goes.
constexpr char PostmortemStarted = 'P';
constexpr char FilesRemoved = 'R';

void addField(SafeText& text, const char* key, const char* value)
{
    text.add(key).addChar('\0');
    text.add(value).addChar('\0');
}

void addNumber(SafeText& text, const char* key, int64_t value)
{
    char digits[32];
    SafeText number(digits, sizeof digits);
    number.addDecimal(value);
    addField(text, key, digits);
}

// The interrupted thread's registers in the DWARF numbering of x86-64
// (rax, rdx, rcx, rbx, rsi, rdi, rbp, rsp, r8-r15, then the return address
// column, here the instruction pointer), as hexadecimal words.
void addRegisters(SafeText& text, const ucontext_t* context)
{
    static const int order[] = {REG_RAX, REG_RDX, REG_RCX, REG_RBX, REG_RSI, REG_RDI, REG_RBP, REG_RSP, REG_R8,
                                REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP};
    char words[17 * 24];
    SafeText list(words, sizeof words);
    for (int reg : order) {
        if (list.size())
            list.addChar(' ');
        list.addHex(static_cast<uint64_t>(context->uc_mcontext.gregs[reg]), 16);
    }
    addField(text, "registers", words);
}

int boundedWait(int ownBoundMs, int64_t deadlineMs)
{
    const int64_t left = deadlineMs - safeNowMs();
    if (left <= 0)
        return 0;
    return left < ownBoundMs ? static_cast<int>(left) : ownBoundMs;
}

} // namespace

HelperLauncher::HelperLauncher(const CrashState& crashState)
    : state(crashState)
{
}

// Crash context.
bool HelperLauncher::lookupPublicAddress(char* out, size_t size, int64_t deadlineMs)
{
    out[0] = '\0';
    if (!state.addressHost[0] || !state.helperPath[0])
        return false;
    char port[16];
    SafeText portText(port, sizeof port);
    portText.addDecimal(state.addressPort);
    char* argv[] = {const_cast<char*>(state.helperPath), const_cast<char*>("lookup"),
                    const_cast<char*>(state.addressHost), port, nullptr};
    int answer[2];
    if (pipe2(answer, O_CLOEXEC) < 0)
        return false;
    ChildProcess child;
    if (!child.start(state.helperPath, argv, -1, answer[1])) {
        safeClose(answer[0]);
        safeClose(answer[1]);
        return false;
    }
    safeClose(answer[1]);

    char received[300];
    size_t length = 0;
    const int64_t deadline = safeNowMs() + boundedWait(state.lookupWaitMs, deadlineMs);
    for (;;) {
        const int64_t left = deadline - safeNowMs();
        if (left <= 0)
            break;
        pollfd p{answer[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        const ssize_t n = read(answer[0], received + length, sizeof received - 1 - length);
        if (n <= 0)
            break;
        length += static_cast<size_t>(n);
        if (length == sizeof received - 1)
            break;
    }
    safeClose(answer[0]);
    int exitCode = -1;
    const int64_t left = deadline - safeNowMs();
    if (!child.wait(left > 0 ? static_cast<int>(left) : 0, &exitCode) || exitCode != 0)
        return false;
    while (length && (received[length - 1] == '\n' || received[length - 1] == '\r'))
        --length;
    received[length] = '\0';
    safeCopy(out, size, received);
    return true;
}

// Crash context.
void HelperLauncher::packageAndNotify(const CrashContext& crash, const char* addressAtStart, time_t crashTime,
                                      int64_t deadlineMs)
{
    SafeText text(request, sizeof request);
    addNumber(text, "pid", getpid());
    addNumber(text, "threadId", crash.threadId);
    addRegisters(text, crash.context);
    addField(text, "stackSection", state.stackSection ? "1" : "0");
    addNumber(text, "crashTime", static_cast<int64_t>(crashTime));
    addField(text, "clientVersion", state.clientVersion);
    addField(text, "addressAtStart", addressAtStart);
    addField(text, "dumpDir", state.dumpDir);
    addField(text, "userDumpDir", state.userDumpDir);
    addField(text, "serverAddress", state.serverAddress);
    addNumber(text, "serverPort", state.serverPort);
    addField(text, "serverPath", state.serverPath);
    addField(text, "ftpUser", state.ftpUser);
    addField(text, "ftpPassword", state.ftpPassword);
    addField(text, "postmortem", state.postmortemPath);

    int input[2];
    int progress[2];
    if (!state.helperPath[0] || pipe2(input, O_CLOEXEC) < 0) {
        startPostmortemDirectly();
        return;
    }
    if (pipe2(progress, O_CLOEXEC) < 0) {
        safeClose(input[0]);
        safeClose(input[1]);
        startPostmortemDirectly();
        return;
    }
    char* argv[] = {const_cast<char*>(state.helperPath), const_cast<char*>("package"), nullptr};
    ChildProcess child;
    const bool started = child.start(state.helperPath, argv, input[0], -1, progress[1]);
    safeClose(input[0]);
    safeClose(progress[1]);
    if (!started) {
        safeClose(input[1]);
        safeClose(progress[0]);
        startPostmortemDirectly();
        return;
    }
    // Where the Yama module limits ptrace to descendants, let the helper
    // read this process: it walks the stack from outside. The helper reads
    // its whole request before it looks, so this comes first.
    prctl(PR_SET_PTRACER, static_cast<unsigned long>(child.id()), 0, 0, 0);
    // Far below a pipe's capacity, so this cannot block; a helper that has
    // already died gives EPIPE (SIGPIPE is ignored during the handling).
    safeWriteAll(input[1], text.data(), text.size());
    safeClose(input[1]);

    child.wait(boundedWait(state.packageWaitMs, deadlineMs), nullptr);
    bool done = false;
    char reports[16];
    for (;;) {
        pollfd p{progress[0], POLLIN, 0};
        if (poll(&p, 1, 0) <= 0)
            break;
        const ssize_t n = read(progress[0], reports, sizeof reports);
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i)
            done = done || reports[i] == PostmortemStarted || reports[i] == FilesRemoved;
    }
    safeClose(progress[0]);
    // Only the helper's own word counts: one that crashed, hung past its
    // bound or exited with a failure, whatever its status, may have stopped
    // before its last step, and then the handler takes that step.
    if (!done)
        startPostmortemDirectly();
}

// Crash context: without the helper, still hand the files to the post-mortem
// program, or remove them when it cannot be started either.
void HelperLauncher::startPostmortemDirectly()
{
    char* argv[] = {const_cast<char*>(state.postmortemPath), const_cast<char*>("-dump"), nullptr};
    ChildProcess child;
    if (!state.postmortemPath[0] || !child.start(state.postmortemPath, argv, -1, -1)) {
        unlink("FaultTrace.txt");
        unlink("FaultTrace.DMP");
    }
}

} // namespace FTR
