#include "platform/ProcessMemory.h"

#include <QByteArray>
#include <QFile>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace {

// The kernel reports both figures in kB in the process's status file.
qint64 statusField(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(name + ':')) {
            bool ok = false;
            const qint64 kilobytes = line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kilobytes * 1024 : -1;
        }
    }
    return -1;
}

} // namespace

qint64 ProcessMemory::residentBytes()
{
    return statusField("VmRSS");
}

qint64 ProcessMemory::peakResidentBytes()
{
    return statusField("VmHWM");
}

void ProcessMemory::takePages(void* begin, std::size_t bytes)
{
    if (!begin || bytes == 0) {
        return;
    }
    const long page = sysconf(_SC_PAGESIZE);
    const auto first = reinterpret_cast<std::uintptr_t>(begin);
    // The advice works on whole pages: the one holding the first byte on.
    const std::uintptr_t aligned = first & ~static_cast<std::uintptr_t>(page - 1);
#ifdef MADV_POPULATE_WRITE
    if (madvise(reinterpret_cast<void*>(aligned), bytes + (first - aligned), MADV_POPULATE_WRITE) == 0) {
        return;
    }
#endif
    // Older kernels refuse the advice: a read of each page maps it, and an
    // atomic add of nothing makes it writable without racing other writers.
    for (std::uintptr_t at = aligned; at < first + bytes; at += static_cast<std::uintptr_t>(page)) {
        __atomic_fetch_add(reinterpret_cast<unsigned char*>(at < first ? first : at), 0, __ATOMIC_RELAXED);
    }
}

PageTaker::PageTaker(void* begin, std::size_t bytes)
    : helper([begin, bytes] { ProcessMemory::takePages(begin, bytes); })
{
}
