// Placing and stacking top-level windows, on a real X display.

#include "platform/DesktopWindows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The window `window` is transient for, as the window manager reads it (0: none).
Window transientFor(WId window)
{
    Display* display = XOpenDisplay(nullptr);
    Window owner = 0;
    if (!XGetTransientForHint(display, static_cast<Window>(window), &owner))
        owner = 0;
    XCloseDisplay(display);
    return owner;
}

} // namespace

class DesktopWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void firstMonitorIsTheScreenQtReportsFirst();
    void aWindowKeptAboveItsOwnerRightAfterBeingShown();
    void raisingAnUnknownWindowIsHarmless();
};

void DesktopWindowsTest::firstMonitorIsTheScreenQtReportsFirst()
{
    QCOMPARE(platform::firstMonitorGeometry(), QGuiApplication::screens().first()->geometry());
}

void DesktopWindowsTest::aWindowKeptAboveItsOwnerRightAfterBeingShown()
{
    QWidget owner;
    owner.show();
    QWidget strip;
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    // Showing again (as the strip is, around each new board) resets the link
    // on Qt's own connection; setting it straight after the show must win.
    strip.hide();
    strip.show();
    platform::keepAboveOwner(strip.winId(), owner.winId());
    QTRY_COMPARE(transientFor(strip.winId()), static_cast<Window>(owner.winId()));
    QTest::qWait(50);
    QCOMPARE(transientFor(strip.winId()), static_cast<Window>(owner.winId()));

    platform::keepAboveOwner(strip.winId(), 0);
    QCOMPARE(transientFor(strip.winId()), Window(0));
}

void DesktopWindowsTest::raisingAnUnknownWindowIsHarmless()
{
    QWidget owner;
    owner.show();
    QWidget strip;
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    platform::keepAboveOwner(strip.winId(), owner.winId());
    QTRY_COMPARE(transientFor(strip.winId()), static_cast<Window>(owner.winId()));

    // No window: nothing happens to the windows that exist.
    platform::raiseAboveAll(0);
    platform::keepAboveOwner(0, 0);
    QCOMPARE(transientFor(strip.winId()), static_cast<Window>(owner.winId()));
    QVERIFY(strip.isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
}

QTEST_MAIN(DesktopWindowsTest)
#include "desktop_windows_test.moc"
