#include "platform/BoardOpenTrace.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace {

struct Trace {
    bool enabled = qEnvironmentVariableIsSet("SCRIBBLOOM_TRACE_OPEN");
    bool running = false;
    qint64 start = 0;
    QByteArray steps;
};

Trace& trace()
{
    static Trace instance;
    return instance;
}

QByteArray millis(qint64 nanoseconds)
{
    return QByteArray::number(static_cast<double>(nanoseconds) / 1e6, 'f', 3);
}

} // namespace

// Nanoseconds on the monotonic clock, the one other processes can read too.
qint64 BoardOpenTrace::now()
{
    return QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs();
}

void BoardOpenTrace::clicked()
{
    Trace& t = trace();
    if (!t.enabled) {
        return;
    }
    t.running = true;
    t.start = now();
    t.steps.clear();
}

void BoardOpenTrace::step(const char* name)
{
    stepAt(name, now());
}

void BoardOpenTrace::stepAt(const char* name, qint64 clock)
{
    Trace& t = trace();
    if (!t.running) {
        return;
    }
    t.steps += ' ' + QByteArray(name) + '=' + millis(clock - t.start);
}

void BoardOpenTrace::painted()
{
    Trace& t = trace();
    if (!t.running) {
        return;
    }
    const qint64 end = now();
    t.running = false;
    std::fprintf(stderr, "board-open-trace: painted=%s ms%s clock-click=%s clock-painted=%s\n",
                 millis(end - t.start).constData(), t.steps.constData(), millis(t.start).constData(),
                 millis(end).constData());
    std::fflush(stderr);
}
