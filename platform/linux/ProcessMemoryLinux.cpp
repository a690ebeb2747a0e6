#include "platform/ProcessMemory.h"

#include <QByteArray>
#include <QFile>

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
