// Drags the About box with real pointer input on a private X display.
#include "widgets/AboutWidget.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QtTest>

namespace {

bool xdotool(const QStringList& args)
{
    return QProcess::execute("xdotool", args) == 0;
}

// Presses at a global point, moves in steps by delta, releases.
void drag(const QPoint& from, const QPoint& delta)
{
    xdotool({"mousemove", "--sync", QString::number(from.x()), QString::number(from.y())});
    QTest::qWait(50);
    xdotool({"mousedown", "1"});
    QTest::qWait(50);
    for (int i = 1; i <= 4; ++i) {
        const QPoint p = from + delta * i / 4;
        xdotool({"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
        QTest::qWait(30);
    }
    xdotool({"mouseup", "1"});
    QTest::qWait(100);
}

}  // namespace

class AboutDragTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QProcess::execute("xdotool", {"version"}) != 0)
            QSKIP("xdotool is not installed");
        // With a window manager the caption hands the drag to it.
        const QString wm = qEnvironmentVariable("SCRIBBLOOM_TEST_WM");
        if (!wm.isEmpty()) {
            windowManager.start(wm, QStringList());
            QVERIFY2(windowManager.waitForStarted(), qPrintable(wm));
            QTest::qWait(800);
        }
    }

    void cleanupTestCase()
    {
        if (windowManager.state() != QProcess::NotRunning) {
            windowManager.terminate();
            windowManager.waitForFinished(3000);
        }
    }

    void captionDragsAndTitleLabelDoesNot()
    {
        AboutWidget about;
        about.move(200, 200);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        // A window manager may place the box where it likes.
        QTest::qWait(200);
        const QPoint start = about.pos();
        const QPoint moved = start + QPoint(80, 60);

        drag(about.mapToGlobal(QPoint(200, 15)), QPoint(80, 60));
        QTRY_COMPARE(about.pos(), moved);
        QTest::qWait(200);

        auto* title = about.findChild<QLabel*>("aboutTitle");
        drag(title->mapToGlobal(title->rect().center()), QPoint(80, 60));
        QTest::qWait(100);
        QCOMPARE(about.pos(), moved);

        // The body does not drag either.
        drag(about.mapToGlobal(QPoint(100, 150)), QPoint(-50, -50));
        QTest::qWait(100);
        QCOMPARE(about.pos(), moved);
    }

private:
    QProcess windowManager;
};

QTEST_MAIN(AboutDragTest)
#include "AboutDragTest.moc"
