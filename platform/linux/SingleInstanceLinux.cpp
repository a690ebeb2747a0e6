#include "platform/SingleInstance.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The per-user runtime folder, as the session provides it; otherwise a
// per-user name in the temporary folder.
QString runtimePath(const QString& name, const char* suffix)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QFile::decodeName(runtime)).exists()) {
        return QFile::decodeName(runtime) + '/' + name + suffix;
    }
    return QDir::tempPath() + '/' + name + '-' + QString::number(getuid()) + suffix;
}

QString lockPath(const QString& name)
{
    return runtimePath(name, ".lock");
}

} // namespace

QString SingleInstance::controlAddress(const QString& name)
{
    return runtimePath(name, ".control");
}

bool SingleInstance::acquire(const QString& name)
{
    // An flock belongs to the open file, which the kernel closes when the
    // process ends in any way. The descriptor is deliberately never closed,
    // and close-on-exec keeps programs we start from inheriting the lock.
    const QByteArray path = QFile::encodeName(lockPath(name));
    int fd = -1;
    do {
        fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    int result = -1;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd);
        return false;
    }
    return true;
}
