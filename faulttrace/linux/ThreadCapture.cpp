// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (_Fork, pipe2, poll, read, prctl, waitpid, kill; ptrace in the child), no allocation, no locks, no stdio.

#include "faulttrace/linux/ThreadCapture.h"

#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/SafeText.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace FTR {

namespace {

ThreadRecord records[ThreadCapture::MaxThreads];

struct LinuxDirent64
{
    uint64_t inode;
    int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// Crash context, in the forked child: stops each thread of `parent` but the
// crashing one, writes its registers to `out`, then waits for `go` to close.
[[noreturn]] void captureInChild(pid_t parent, pid_t crashingThread, int go, int out)
{
    // A fault here must end this child, not wait in the parent's handler.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGPIPE, SIGALRM})
        sigaction(sig, &fallback, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    char ready = 0;
    if (safeReadAll(go, &ready, 1) != 1)
        _exit(1);
    char path[64];
    SafeText text(path, sizeof path);
    text.add("/proc/").addDecimal(parent).add("/task");
    const int dir = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        _exit(1);
    char entries[4096];
    size_t sent = 0;
    for (;;) {
        const long n = syscall(SYS_getdents64, dir, entries, sizeof entries);
        if (n <= 0)
            break;
        for (long at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(entries + at);
            at += entry->length;
            pid_t tid = 0;
            const char* p = entry->name;
            if (*p < '0' || *p > '9')
                continue;
            while (*p >= '0' && *p <= '9')
                tid = tid * 10 + (*p++ - '0');
            if (tid == crashingThread || sent >= ThreadCapture::MaxThreads)
                continue;
            if (ptrace(PTRACE_SEIZE, tid, nullptr, nullptr) != 0)
                continue;
            if (ptrace(PTRACE_INTERRUPT, tid, nullptr, nullptr) != 0)
                continue;
            int status = 0;
            if (waitpid(tid, &status, __WALL) != tid || !WIFSTOPPED(status))
                continue;
            ThreadRecord record;
            record.threadId = tid;
            if (ptrace(PTRACE_GETREGS, tid, nullptr, &record.registers) != 0)
                continue;
            ptrace(PTRACE_GETFPREGS, tid, nullptr, &record.floatingPoint);
            if (!safeWriteAll(out, &record, sizeof record))
                _exit(1);
            ++sent;
        }
    }
    close(dir);
    ThreadRecord end;
    safeWriteAll(out, &end, sizeof end);
    // Keep them stopped until the dump is written; ending detaches them.
    while (safeReadAll(go, &ready, 1) > 0) {
    }
    _exit(0);
}

} // namespace

const ThreadRecord& ThreadCapture::thread(size_t i) const
{
    return records[i];
}

// Crash context.
bool ThreadCapture::start(pid_t crashingThread, int timeoutMs)
{
    threads = 0;
    int go[2];
    int back[2];
    if (pipe2(go, O_CLOEXEC) < 0)
        return false;
    if (pipe2(back, O_CLOEXEC) < 0) {
        safeClose(go[0]);
        safeClose(go[1]);
        return false;
    }
    const pid_t parent = getpid();
    const pid_t forked = _Fork();
    if (forked == 0) {
        safeClose(go[1]);
        safeClose(back[0]);
        captureInChild(parent, crashingThread, go[0], back[1]);
    }
    safeClose(go[0]);
    safeClose(back[1]);
    if (forked < 0) {
        safeClose(go[1]);
        safeClose(back[0]);
        return false;
    }
    child = forked;
    release = go[1];
    // Where the Yama module limits ptrace to descendants, allow this child.
    prctl(PR_SET_PTRACER, static_cast<unsigned long>(forked), 0, 0, 0);
    const char ready = 'g';
    safeWriteAll(release, &ready, 1);

    const int64_t deadline = safeNowMs() + timeoutMs;
    size_t filled = 0; // bytes of records[threads] received so far
    while (threads < MaxThreads) {
        const int64_t left = deadline - safeNowMs();
        pollfd p{back[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        char* at = reinterpret_cast<char*>(&records[threads]) + filled;
        const ssize_t n = read(back[0], at, sizeof(ThreadRecord) - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        filled += static_cast<size_t>(n);
        if (filled < sizeof(ThreadRecord))
            continue;
        filled = 0;
        if (records[threads].threadId == 0)
            break;
        ++threads;
    }
    safeClose(back[0]);
    return threads > 0;
}

// Crash context.
void ThreadCapture::finish()
{
    safeClose(release);
    release = -1;
    if (child > 0) {
        const int64_t deadline = safeNowMs() + 2000;
        int status = 0;
        while (waitpid(child, &status, WNOHANG) == 0 && safeNowMs() < deadline)
            safeSleepMs(5);
        if (safeNowMs() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
    }
    child = -1;
}

} // namespace FTR
