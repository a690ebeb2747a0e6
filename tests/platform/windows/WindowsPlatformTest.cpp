// The Windows side of the platform seam, run under Wine: the folders the
// shell names, ini files through the profile calls, the GDI capture with
// its pointer, the message-window task queue, the single-instance mutex.

#include "platform/DiskSync.h"
#include "platform/ExecutablePath.h"
#include "platform/PrivateProfile.h"
#include "platform/ScreenCapture.h"
#include "platform/SingleInstance.h"
#include "platform/SystemVersion.h"
#include "platform/UiTaskQueue.h"
#include "platform/UserDataFolder.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

const QColor kFill(0x33, 0x66, 0x99);

// A plain window of one colour at a known place on the screen.
class ColourWindow : public QWidget {
public:
    explicit ColourWindow(const QRect& where)
    {
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setGeometry(where);
    }
    std::atomic<int> paints{0};

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), kFill);
        ++paints;
    }
};

// How many pixels of `image` differ from `colour`.
int pixelsOtherThan(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != colour)
                ++count;
    return count;
}

bool allOpaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}

} // namespace

class WindowsPlatformTest : public QObject {
    Q_OBJECT

private slots:
    void localAppDataIsTheShellsFolder()
    {
        // Wine, like Windows, also names the folder in the environment.
        const QString expected = QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA")));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(platform::localAppDataFolder(), expected);
        QVERIFY(QDir(platform::userStateFolder()).exists());
    }

    void executablePathIsThisProgram()
    {
        const QString path = QString::fromUtf8(platform::executablePath());
        QVERIFY2(QDir::isAbsolutePath(QDir::fromNativeSeparators(path)), qPrintable(path));
        QVERIFY2(path.endsWith(QStringLiteral("\\WindowsPlatformTest.exe"), Qt::CaseInsensitive), qPrintable(path));
    }

    void systemVersionIsWindows()
    {
        const platform::SystemVersion version = platform::currentSystemVersion();
        QVERIFY(version.windows);
        QVERIFY(version.windowsMajor >= 6);
        QVERIFY(version.native64);
    }

    // The profile calls would take a relative name from the Windows folder,
    // and write a new file in the ANSI code page, losing what it cannot hold.
    void iniKeepsRelativeNamesAndEveryCharacter()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString value = QStringLiteral("\u7B14 pen \u00E9");
        const bool written = platform::writeProfileString(QStringLiteral("User.ini"), QStringLiteral("Globals"),
                                                          QStringLiteral("Spreader"), value);
        const QString read = platform::readProfileString(QStringLiteral("User.ini"), QStringLiteral("globals"),
                                                         QStringLiteral("SPREADER"), QString(), 260);
        const bool here = QFile::exists(dir.filePath(QStringLiteral("User.ini")));
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QDir::setCurrent(previous);
        QVERIFY(written);
        QVERIFY(here);
        QCOMPARE(read, value);
        // Nothing but the file itself: the copy that replaced it is gone.
        QCOMPARE(left, QStringList{QStringLiteral("User.ini")});
    }

    void iniIntegersAndDefaults()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Scribbloom.ini"));
        QVERIFY(platform::writeProfileString(file, QStringLiteral("Config"), QStringLiteral("Pensize"),
                                             QStringLiteral("12px")));
        QVERIFY(platform::writeProfileString(file, QStringLiteral("Config"), QStringLiteral("Empty"), QString()));
        QCOMPARE(platform::readProfileInt(file, QStringLiteral("Config"), QStringLiteral("Pensize"), 3), 12);
        QCOMPARE(platform::readProfileInt(file, QStringLiteral("Config"), QStringLiteral("Empty"), 3), 3);
        QCOMPARE(platform::readProfileInt(file, QStringLiteral("Config"), QStringLiteral("Missing"), -1), -1);
        QVERIFY(!platform::writeProfileString(file, QStringLiteral("Config"), QStringLiteral("Bad"),
                                              QStringLiteral("two\nlines")));
    }

    void captureGivesTheScreenOpaqueAndDrawsThePointer()
    {
        const QRect area(200, 150, 240, 160);
        ColourWindow window(area);
        window.show();
        QTRY_VERIFY(window.paints > 0);
        QCursor::setPos(area.right() + 200, area.bottom() + 200);

        ScreenCapture& capture = ScreenCapture::instance();
        QImage plain;
        QTRY_VERIFY_WITH_TIMEOUT(
            (plain = capture.captureScreen(0, area.x(), area.y(), area.width(), area.height()).toImage().copy(),
             plain.size() == area.size() && pixelsOtherThan(plain, kFill) == 0),
            10000);
        QVERIFY(allOpaque(plain));

        // With the pointer inside, its picture is drawn from the pointer's
        // position down and to the right.
        const QPoint pointer = area.topLeft() + QPoint(60, 50);
        QCursor::setPos(pointer);
        QTRY_COMPARE(QCursor::pos(), pointer);
        QImage withPointer;
        QTRY_VERIFY_WITH_TIMEOUT(
            (withPointer = capture.captureScreen(0, area.x(), area.y(), area.width(), area.height()).toImage().copy(),
             pixelsOtherThan(withPointer.copy(60, 50, 32, 32), kFill) > 0),
            10000);
        QCOMPARE(pixelsOtherThan(withPointer.copy(0, 0, 50, 40), kFill), 0);
        QVERIFY(allOpaque(withPointer));

        // A negative size stands for the window's client area.
        const QImage client =
            capture.captureScreen(window.winId(), area.x(), area.y(), -1, -1).toImage().copy();
        QCOMPARE(client.size(), area.size());
    }

    void tasksRunOnTheOwnerThreadInPostingOrder()
    {
        auto queue = platform::UiTaskQueue::createForCurrentThread();
        std::vector<int> order;
        std::atomic<bool> offThread{false};
        const QThread* owner = QThread::currentThread();
        std::thread poster([&] {
            for (int i = 0; i < 200; ++i) {
                queue->post(std::make_unique<platform::UiTaskQueue::Task>([&, i] {
                    if (QThread::currentThread() != owner)
                        offThread = true;
                    order.push_back(i);
                }));
            }
        });
        poster.join();
        QTRY_COMPARE(order.size(), size_t(200));
        QVERIFY(!offThread);
        for (int i = 0; i < 200; ++i)
            QCOMPARE(order[size_t(i)], i);
    }

    void tasksRunInsideANestedLoopAndEmptyOnesAreHarmless()
    {
        auto queue = platform::UiTaskQueue::createForCurrentThread();
        bool innerRan = false;
        QEventLoop nested;
        queue->post(std::make_unique<platform::UiTaskQueue::Task>());
        queue->post(std::make_unique<platform::UiTaskQueue::Task>([&] {
            queue->post(std::make_unique<platform::UiTaskQueue::Task>([&] {
                innerRan = true;
                nested.quit();
            }));
            QTimer::singleShot(10000, &nested, &QEventLoop::quit);
            nested.exec();
        }));
        QTRY_VERIFY(innerRan);
    }

    void tasksLeftWaitingAreFreedWithTheQueue()
    {
        auto held = std::make_shared<int>(7);
        {
            auto queue = platform::UiTaskQueue::createForCurrentThread();
            queue->post(std::make_unique<platform::UiTaskQueue::Task>([held] {}));
            QCOMPARE(held.use_count(), 2L);
        }
        QCOMPARE(held.use_count(), 1L);
        // The window's message arrives with no queue left behind it.
        QCoreApplication::processEvents();
    }

    void secondAcquireOfTheLockFails()
    {
        const QString name = QStringLiteral("ScribbloomTest-%1").arg(QCoreApplication::applicationPid());
        QVERIFY(SingleInstance::acquire(name));
        QVERIFY(!SingleInstance::acquire(name));
        QVERIFY(SingleInstance::controlAddress(name).startsWith(name + QLatin1Char('-')));
    }
};

QTEST_MAIN(WindowsPlatformTest)
#include "WindowsPlatformTest.moc"
