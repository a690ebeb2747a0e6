#include "screenview_harness.h"

#include "canvas/GraphType.h"
#include "canvas/QTextEditer.h"

#include <QObject>
#include <QtTest>

// Run with QT_SCALE_FACTOR=1.5: logical pointer positions become device
// pixels of the snapshot by rounding, halves away from zero.
class ScreenviewDprTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), 1.5); }

    void snapshotIsInDevicePixelsAndWindowInLogical();
    void itemPointsAreRoundedDevicePositions();
    void selectionMenuFollowsDevicePositions();
    void textEditorBaselineStandsOnThePress();
    void committedTextKeepsTheSizeItWasTypedIn();
};

void ScreenviewDprTest::snapshotIsInDevicePixelsAndWindowInLogical()
{
    CanvasHarness canvas;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(canvas.view->size(), screen.size());
    QCOMPARE(canvas.image().size(), QSize(qRound(screen.width() * 1.5), qRound(screen.height() * 1.5)));
}

void ScreenviewDprTest::itemPointsAreRoundedDevicePositions()
{
    CanvasHarness canvas;
    canvas.view->selectLine();
    canvas.press({101, 33});
    canvas.move({67, 15});
    canvas.move({10, 10});
    canvas.release({10, 10});
    const std::vector<QPoint> expected{{152, 50}, {101, 23}, {15, 15}};
    QCOMPARE(canvas.history().current()->points, expected);

    canvas.view->selectMarkPen();
    canvas.click({3, 5});
    QCOMPARE(canvas.history().current()->points, (std::vector<QPoint>{{5, 8}}));
}

void ScreenviewDprTest::selectionMenuFollowsDevicePositions()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({101, 101}, {51, 41});
    QCOMPARE(canvas.history().selectionRect(), QRect(152, 152, 77 - 152, 62 - 152));
    // (101, 101) is device (152, 152), a corner of the selection; (102, 102) is outside.
    QCOMPARE(canvas.rightPressOpening({101, 101}), canvas.view->selectionContextMenu());
    QCOMPARE(canvas.rightPressOpening({102, 102}), canvas.view->mainContextMenu());
}

void ScreenviewDprTest::textEditorBaselineStandsOnThePress()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({101, 67});
    QTextEditer* editor = canvas.view->openEditor();
    QVERIFY(editor);
    QTest::keyClicks(editor, "Hi");
    // Widgets sit in logical pixels; the item keeps the rounded device point.
    QCOMPARE(editor->pos() + editor->baselineOrigin(), QPoint(101, 67));
    QCOMPARE(canvas.history().current()->points.front(), QPoint(152, 101));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(canvas.history().current()->property("text"), QString("Hi"));
}

namespace {
// Rows of `image` holding a pixel `inked` accepts.
int inkHeight(const QImage& image, bool (*inked)(const QColor&))
{
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (inked(image.pixelColor(x, y))) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
        }
    }
    return top < 0 ? 0 : bottom - top + 1;
}
}

void ScreenviewDprTest::committedTextKeepsTheSizeItWasTypedIn()
{
    CanvasHarness canvas;
    canvas.view->selectText();
    canvas.click({100, 100});
    QTextEditer* editor = canvas.view->openEditor();
    QTest::keyClicks(editor, "HEH");
    editor->setReadOnly(true);
    // The editor's own pixels, in device pixels as the screen shows them.
    const int typed = inkHeight(editor->grab().toImage(), [](const QColor& c) { return c.value() < 60; });
    editor->setReadOnly(false);
    QTest::keyClick(editor, Qt::Key_Return);
    const int painted = inkHeight(canvas.image(), [](const QColor& c) { return c.red() > 150 && c.green() < 100; });
    QVERIFY(typed > 0);
    QVERIFY2(qAbs(painted - typed) <= 2, qPrintable(QStringLiteral("typed %1 px high, painted %2").arg(typed).arg(painted)));
}

QTEST_MAIN(ScreenviewDprTest)
#include "screenview_dpr_test.moc"
