// Opening a board on a scaled screen: the view's images come from the real
// screen at physical resolution, and drawing composes on them.
#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTest>

class SnapshotTest : public QObject {
    Q_OBJECT

private slots:
    void boardIsThePhysicalScreen()
    {
        QCOMPARE(QProcess::execute("xsetroot", { "-solid", "#4080c0" }), 0);
        // Pointer on the corner, the edge of the screen: not part of the picture.
        QCOMPARE(QProcess::execute("xdotool", { "mousemove", "0", "0" }), 0);
        QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), 1.5);

        CanvasView view;
        view.registerGraphs();
        view.attachView(nullptr);
        QCOMPARE(view.screenWidth, 1280.0);
        QCOMPARE(view.screenHeight, 720.0);
        QCOMPARE(view.canvasImage.size(), QSize(1920, 1080));
        QCOMPARE(view.background, view.canvasImage);
        QCOMPARE(view.background.pixelColor(1919, 1079), QColor(0x40, 0x80, 0xc0));
        QCOMPARE(view.background.pixelColor(0, 0), QColor(0x40, 0x80, 0xc0));

        // Draw, then erase the same stroke: the screen comes back, opaque.
        GraphActioner pen;
        pen.type = Pen;
        pen.attach(&view);
        pen.setProperty("size", 6);
        pen.setProperty("r", 255);
        pen.setProperty("a", 255);
        pen.addPoint({ 1500, 900 });
        pen.addPoint({ 1900, 1000 });
        GraphActioner eraser;
        eraser.type = Erase;
        eraser.attach(&view);
        eraser.points = pen.points;

        pen.notify();
        QCOMPARE(view.canvasImage.pixelColor(1700, 950), QColor(255, 0, 0));
        eraser.notify();
        QCOMPARE(view.canvasImage.copy(), view.background);
    }
};

QTEST_MAIN(SnapshotTest)
#include "renderers_snapshot_test.moc"
