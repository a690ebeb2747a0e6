// Drags the About box with real pointer input on a private X display.
#include "widgets/AboutWidget.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

bool xdotool(const QStringList& args)
{
    return QProcess::execute("xdotool", args) == 0;
}

// Where the X server has the window: under a reparenting window manager
// Qt's own idea of the position can lag behind or stay at the origin.
QPoint serverPos(const QWidget& w)
{
    QProcess p;
    p.start("xdotool", {"getwindowgeometry", QString::number(w.winId())});
    p.waitForFinished(5000);
    const QString out = QString::fromLatin1(p.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression("Position: (-?\\d+),(-?\\d+)").match(out);
    return m.hasMatch() ? QPoint(m.captured(1).toInt(), m.captured(2).toInt()) : QPoint(-1, -1);
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
    }

    void captionDragsAndTitleLabelDoesNot()
    {
        AboutWidget about;
        about.move(200, 200);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        // A window manager may place the box where it likes.
        QTest::qWait(200);
        const QPoint start = serverPos(about);
        QVERIFY(start.x() >= 0);
        const QPoint moved = start + QPoint(80, 60);

        drag(start + QPoint(200, 15), QPoint(80, 60));
        QTRY_COMPARE(serverPos(about), moved);
        QTest::qWait(200);

        auto* title = about.findChild<QLabel*>("aboutTitle");
        drag(moved + title->geometry().center(), QPoint(80, 60));
        QTest::qWait(100);
        QCOMPARE(serverPos(about), moved);

        // The body does not drag either.
        drag(moved + QPoint(100, 150), QPoint(-50, -50));
        QTest::qWait(100);
        QCOMPARE(serverPos(about), moved);
    }
};

QTEST_MAIN(AboutDragTest)
#include "AboutDragTest.moc"
