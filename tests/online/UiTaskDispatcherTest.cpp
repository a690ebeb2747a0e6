#include "online/UiTaskDispatcher.h"
#include "platform/ModuleInstance.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <thread>
#include <vector>

using network::UiTaskDispatcher;

class UiTaskDispatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { UiTaskDispatcher::initialize(platform::currentModuleInstance()); }
    void cleanup() { UiTaskDispatcher::shutdown(); }

    void workerTasksRunOnTheGuiThreadInPostingOrder();
    void tasksRunWhileAModalDialogRuns();
    void tasksPostedAfterShutdownAreFreedUnrun();
    void tasksStillQueuedAtShutdownAreFreedUnrun();
    void emptyTasksAreDropped();
};

void UiTaskDispatcherTest::workerTasksRunOnTheGuiThreadInPostingOrder()
{
    constexpr int tasks = 500;
    std::vector<int> order;
    bool allOnGui = true;
    QThread* gui = QThread::currentThread();
    std::thread worker([&] {
        for (int i = 0; i < tasks; ++i)
            UiTaskDispatcher::postTask([&, i] {
                order.push_back(i);
                allOnGui = allOnGui && QThread::currentThread() == gui;
            });
    });
    worker.join();
    QTRY_COMPARE_WITH_TIMEOUT(int(order.size()), tasks, 30000);
    QVERIFY(allOnGui);
    for (int i = 0; i < tasks; ++i)
        QCOMPARE(order[size_t(i)], i);
}

void UiTaskDispatcherTest::tasksRunWhileAModalDialogRuns()
{
    QDialog dialog;
    std::vector<int> order;
    bool sawModal = true;
    std::thread worker;
    QTimer::singleShot(0, &dialog, [&] {
        worker = std::thread([&] {
            for (int i = 0; i < 3; ++i)
                UiTaskDispatcher::postTask([&, i] {
                    sawModal = sawModal && QApplication::activeModalWidget() == &dialog;
                    order.push_back(i);
                });
            UiTaskDispatcher::postTask([&dialog] { dialog.accept(); });
        });
    });
    // Guard against a hang only: the dispatcher's last task is what should close it.
    QTimer::singleShot(30000, &dialog, &QDialog::reject);
    const int result = dialog.exec();
    worker.join();
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(order, (std::vector<int>{0, 1, 2}));
    QVERIFY(sawModal);
}

void UiTaskDispatcherTest::tasksPostedAfterShutdownAreFreedUnrun()
{
    UiTaskDispatcher::shutdown();
    auto captured = std::make_shared<int>(0);
    std::weak_ptr<int> watch = captured;
    bool ran = false;
    UiTaskDispatcher::postTask([captured, &ran] { ran = true; });
    captured.reset();
    QVERIFY(watch.expired());
    QCoreApplication::processEvents();
    QVERIFY(!ran);
}

void UiTaskDispatcherTest::tasksStillQueuedAtShutdownAreFreedUnrun()
{
    auto captured = std::make_shared<int>(0);
    std::weak_ptr<int> watch = captured;
    bool ran = false;
    UiTaskDispatcher::postTask([captured, &ran] { ran = true; });
    captured.reset();
    QVERIFY(!watch.expired()); // queued, waiting for the loop
    UiTaskDispatcher::shutdown();
    QVERIFY(watch.expired());
    QCoreApplication::processEvents();
    QVERIFY(!ran);
}

void UiTaskDispatcherTest::emptyTasksAreDropped()
{
    bool ran = false;
    UiTaskDispatcher::postTask(UiTaskDispatcher::Task());
    UiTaskDispatcher::postTask([&ran] { ran = true; });
    QTRY_VERIFY_WITH_TIMEOUT(ran, 30000);
}

QTEST_MAIN(UiTaskDispatcherTest)
#include "UiTaskDispatcherTest.moc"
