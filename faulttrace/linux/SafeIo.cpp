// Crash path: runs inside the crashed process. Only async-signal-safe calls
// (open, read, write, close, process_vm_readv, clock_gettime, nanosleep, gettid), no allocation, no locks, no stdio.

#include "faulttrace/linux/SafeIo.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace FTR {

int safeCreate(const char* path)
{
    int fd;
    do {
        fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int safeOpenRead(const char* path)
{
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool safeWriteAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

ssize_t safeReadAll(int fd, void* data, size_t size)
{
    char* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, p + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return done ? static_cast<ssize_t>(done) : -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

void safeClose(int fd)
{
    if (fd >= 0)
        close(fd);
}

// process_vm_readv reports a bad address as EFAULT instead of raising a
// signal, which also covers file pages cut off by a truncated library.
bool safeReadMemory(uint64_t address, void* out, size_t size)
{
    if (size == 0)
        return true;
    iovec local{out, size};
    iovec remote{reinterpret_cast<void*>(address), size};
    const ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    return n == static_cast<ssize_t>(size);
}

size_t safeWriteMemory(int fd, uint64_t address, size_t size)
{
    constexpr uint64_t page = 4096;
    size_t done = 0;
    while (done < size) {
        const uint64_t at = address + done;
        size_t chunk = static_cast<size_t>(page - (at % page));
        if (chunk > size - done)
            chunk = size - done;
        const ssize_t n = write(fd, reinterpret_cast<const void*>(at), chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

int64_t safeNowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void safeSleepMs(int ms)
{
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) < 0 && errno == EINTR) {
    }
}

pid_t safeThreadId()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

} // namespace FTR
