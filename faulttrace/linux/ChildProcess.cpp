// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (pipe2, _Fork, execve, poll, read, waitpid, kill, nanosleep), no
// allocation, no locks, no stdio.

#include "faulttrace/linux/ChildProcess.h"

#include "faulttrace/linux/SafeIo.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace FTR {

bool ChildProcess::start(const char* path, char* const argv[], int stdinFd, int stdoutFd, int extraFd)
{
    pid = -1;
    // The child reports a failed execve through this pipe; a successful one
    // closes it, which the parent reads as end of file.
    int status[2];
    if (pipe2(status, O_CLOEXEC) < 0)
        return false;
    // _Fork skips the fork handlers that take the allocator's locks, which a
    // crash inside malloc may still hold.
    const pid_t child = _Fork();
    if (child < 0) {
        safeClose(status[0]);
        safeClose(status[1]);
        return false;
    }
    if (child == 0) {
        // A fault before execve must end this child rather than run the
        // crash handler it inherited. The handler also runs with signals
        // blocked, and execve would keep that mask; SIGPIPE, ignored during
        // the handling, would stay ignored in the new program.
        struct sigaction fallback = {};
        fallback.sa_handler = SIG_DFL;
        for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGPIPE, SIGALRM})
            sigaction(sig, &fallback, nullptr);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (stdinFd >= 0 && stdinFd != 0)
            dup2(stdinFd, 0);
        if (stdoutFd >= 0 && stdoutFd != 1)
            dup2(stdoutFd, 1);
        int report = status[1];
        unsigned firstClosed = 3;
        if (extraFd >= 0) {
            if (report == 3)
                report = fcntl(3, F_DUPFD_CLOEXEC, 4);
            if (extraFd != 3)
                dup2(extraFd, 3);
            else
                fcntl(3, F_SETFD, 0);
            firstClosed = 4;
        }
        // The crashed process's other files and sockets are no business of the child.
        const unsigned kept = static_cast<unsigned>(report);
        if (kept < firstClosed) {
            syscall(SYS_close_range, firstClosed, ~0u, 0u);
        } else {
            if (kept > firstClosed)
                syscall(SYS_close_range, firstClosed, kept - 1, 0u);
            syscall(SYS_close_range, kept + 1, ~0u, 0u);
        }
        execve(path, argv, environ);
        const int error = errno;
        safeWriteAll(report, &error, sizeof error);
        _exit(127);
    }
    safeClose(status[1]);
    int error = 0;
    pollfd p{status[0], POLLIN, 0};
    ssize_t n = 0;
    if (poll(&p, 1, 5000) > 0)
        n = safeReadAll(status[0], &error, sizeof error);
    safeClose(status[0]);
    pid = child;
    if (n > 0) {
        int ignored = 0;
        wait(1000, &ignored);
        pid = -1;
        return false;
    }
    return true;
}

bool ChildProcess::wait(int timeoutMs, int* exitCode)
{
    if (pid <= 0)
        return false;
    const int64_t deadline = safeNowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            pid = -1;
            if (exitCode)
                *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return true;
        }
        // Children are reaped for us when the application ignores SIGCHLD.
        if (r < 0 && errno != EINTR) {
            pid = -1;
            if (exitCode)
                *exitCode = 0;
            return true;
        }
        if (safeNowMs() >= deadline)
            break;
        safeSleepMs(10);
    }
    kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
    if (exitCode)
        *exitCode = -1;
    return false;
}

} // namespace FTR
