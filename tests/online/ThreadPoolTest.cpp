#include "online/HttpClient.h"
#include "online/Thread.h"
#include "online/ThreadPool.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

namespace {

// Child-process scenarios: a task that throws must take the whole process down.
const char childModeVariable[] = "ONLINE_THREAD_POOL_CHILD";

int runChild(const QByteArray& mode)
{
    network::ThreadPool pool("TestPool");
    pool.start();
    if (mode == "standard")
        pool.post([] { throw std::runtime_error("disk on fire"); });
    else
        pool.post([] { throw 42; });
    // The pool ends the process; this only bounds a broken build.
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return 0;
}

} // namespace

class ThreadPoolTest : public QObject
{
    Q_OBJECT

private slots:
    // Must stay first: it counts the threads this process has made.
    void unnamedThreadsAreNumberedAcrossTheProcess();
    void unstartedPoolRunsTasksOnTheCaller();
    void poolRunsEveryTaskOnItsWorkers();
    void stopWakesIdleWorkersAndJoinsThem();
    void standardExceptionInATaskAbortsWithItsReason();
    void unknownExceptionInATaskEndsTheProcess();

private:
    QProcess::ExitStatus runThrowingChild(const QByteArray& mode, QByteArray& errors);
};

void ThreadPoolTest::unnamedThreadsAreNumberedAcrossTheProcess()
{
    const network::ThreadPool& pool = network::HttpClient::instance().pool();
    QCOMPARE(pool.name(), std::string("HttpThreadPool"));
    QCOMPARE(pool.threadNames(), (std::vector<std::string>{"Thread1", "Thread2", "Thread3", "Thread4"}));

    network::Thread fifth([] {});
    QCOMPARE(fifth.name(), std::string("Thread5"));
    // A named thread keeps its name but still counts.
    network::Thread named([] {}, "Reporter");
    QCOMPARE(named.name(), std::string("Reporter"));
    network::Thread seventh([] {});
    QCOMPARE(seventh.name(), std::string("Thread7"));
}

void ThreadPoolTest::unstartedPoolRunsTasksOnTheCaller()
{
    network::ThreadPool pool("Idle");
    std::thread::id ranOn;
    pool.post([&ranOn] { ranOn = std::this_thread::get_id(); });
    QCOMPARE(ranOn, std::this_thread::get_id());
}

void ThreadPoolTest::poolRunsEveryTaskOnItsWorkers()
{
    network::ThreadPool pool("Busy");
    pool.start();
    constexpr int tasks = 200;
    std::atomic<int> ran{0};
    std::atomic<int> onCaller{0};
    std::promise<void> allDone;
    const auto caller = std::this_thread::get_id();
    for (int i = 0; i < tasks; ++i) {
        pool.post([&] {
            if (std::this_thread::get_id() == caller)
                ++onCaller;
            if (++ran == tasks)
                allDone.set_value();
        });
    }
    QVERIFY(allDone.get_future().wait_for(std::chrono::seconds(60)) == std::future_status::ready);
    pool.stop();
    QCOMPARE(ran.load(), tasks);
    QCOMPARE(onCaller.load(), 0);
}

void ThreadPoolTest::stopWakesIdleWorkersAndJoinsThem()
{
    network::ThreadPool pool("Sleepy");
    pool.start();
    pool.stop(); // returns only once all four idle workers have woken and ended
    std::atomic<bool> ran{false};
    // Nobody takes tasks any more: a later post is queued, never run.
    pool.post([&ran] { ran = true; });
    QVERIFY(!ran);
}

QProcess::ExitStatus ThreadPoolTest::runThrowingChild(const QByteArray& mode, QByteArray& errors)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(childModeVariable, QString::fromLatin1(mode));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    if (!child.waitForFinished(60000))
        child.kill();
    child.waitForFinished();
    errors = child.readAllStandardError();
    return child.exitStatus();
}

void ThreadPoolTest::standardExceptionInATaskAbortsWithItsReason()
{
    QByteArray errors;
    QCOMPARE(runThrowingChild("standard", errors), QProcess::CrashExit);
    QVERIFY2(errors.contains("exception caught in ThreadPool TestPool\nreason: disk on fire\n"), errors.constData());
}

void ThreadPoolTest::unknownExceptionInATaskEndsTheProcess()
{
    QByteArray errors;
    QCOMPARE(runThrowingChild("unknown", errors), QProcess::CrashExit);
    QVERIFY2(errors.contains("Unknown exception caught in ThreadPool TestPool\n"), errors.constData());
}

int main(int argc, char** argv)
{
    const QByteArray mode = qgetenv(childModeVariable);
    if (!mode.isEmpty())
        return runChild(mode);
    QCoreApplication app(argc, argv);
    ThreadPoolTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ThreadPoolTest.moc"
