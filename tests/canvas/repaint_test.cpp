// The canvas window repaints only where drawing changed the picture, and
// what it shows still equals the composed canvas image.
#include "screenview_harness.h"

#include "canvas/GraphType.h"

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QtTest>

namespace {

// Records the rectangles the window is asked to repaint.
class PaintSpy : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            rects.append(static_cast<QPaintEvent*>(event)->rect());
        }
        return false;
    }

    QRect united() const
    {
        QRect all;
        for (const QRect& rect : rects) {
            all |= rect;
        }
        return all;
    }

    QList<QRect> rects;
};

// Where in the window paint() puts anything that is not black.
QRect litArea(const QImage& window)
{
    QRect area;
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (window.pixel(x, y) != qRgb(0, 0, 0)) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

} // namespace

class RepaintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void drawingRepaintsOnlyAroundTheChange();
    void windowShowsTheCanvasAfterPartialRepaints();
    void changedAreaMapsToWhereZoomedPaintingPutsIt_data();
    void changedAreaMapsToWhereZoomedPaintingPutsIt();
};

void RepaintTest::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

void RepaintTest::drawingRepaintsOnlyAroundTheChange()
{
    CanvasHarness canvas;
    QVERIFY(canvas.exposed);
    canvas.view->selectPen();
    canvas.view->setPenWidth(3);
    // The first full paint of the newly shown window is out of the way.
    canvas.view->repaint();
    QCoreApplication::processEvents();
    PaintSpy spy;
    canvas.view->installEventFilter(&spy);

    const QRect window = canvas.view->rect();
    canvas.press(QPoint(40, 40));

    for (int i = 1; i <= 6; ++i) {
        canvas.move(QPoint(40 + i * 5, 40 + i * 3));
        QCoreApplication::processEvents();
    }
    canvas.release(QPoint(70, 58));
    QCoreApplication::processEvents();

    QVERIFY(!spy.rects.isEmpty());
    for (const QRect& rect : qAsConst(spy.rects)) {
        QVERIFY2(rect.width() < window.width() / 4 && rect.height() < window.height() / 4,
                 "a pointer move repaints the stroke's surroundings, not the window");
    }
    QVERIFY(spy.united().contains(QRect(41, 41, 28, 16)));

    // Undo and redo repaint the stroke's area too.
    spy.rects.clear();
    canvas.view->undo();
    canvas.view->redo();
    QCoreApplication::processEvents();
    QVERIFY(!spy.rects.isEmpty());
    QVERIFY(spy.united().width() < window.width() / 4);
}

void RepaintTest::windowShowsTheCanvasAfterPartialRepaints()
{
    CanvasHarness canvas;
    QVERIFY(canvas.exposed);
    canvas.drawBlock(QPoint(10, 10), QPoint(60, 50), QColor(200, 30, 30));
    canvas.view->selectArrow();
    canvas.drag(QPoint(100, 100), QPoint(30, 20));
    canvas.view->selectPen();
    canvas.view->setPenColor(0, 120, 255, 120);
    canvas.view->setPenWidth(9);
    canvas.drag(QPoint(5, 90), QPoint(150, 30));
    canvas.view->undo();
    canvas.view->selectEllipse(false);
    canvas.drag(QPoint(80, 10), QPoint(20, 80));
    canvas.view->redo();
    canvas.view->undo();
    canvas.view->undo();
    QCoreApplication::processEvents();

    // The window's own pixels, as the screen shows them.
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(canvas.view->winId(), 0, 0, canvas.view->width(), canvas.view->height())
                             .toImage();
    QImage pixels = shown.convertToFormat(QImage::Format_RGB32);
    pixels.setDevicePixelRatio(1.0);
    QCOMPARE(pixels.size(), canvas.image().size());
    QCOMPARE(pixels, canvas.image().convertToFormat(QImage::Format_RGB32));
}

void RepaintTest::changedAreaMapsToWhereZoomedPaintingPutsIt_data()
{
    QTest::addColumn<int>("zoomIns");
    QTest::addColumn<QPoint>("pan");
    // The changed area as a fraction of the board, so it stays in view
    // whatever the screen's size.
    QTest::addColumn<QRectF>("part");
    QTest::newRow("unzoomed") << 0 << QPoint(0, 0) << QRectF(0.05, 0.04, 0.02, 0.015);
    QTest::newRow("zoomed, centred") << 2 << QPoint(0, 0) << QRectF(0.4, 0.45, 0.04, 0.03);
    QTest::newRow("zoomed, panned") << 3 << QPoint(-90, 40) << QRectF(0.55, 0.35, 0.006, 0.07);
    QTest::newRow("zoomed, panned past the edge") << 5 << QPoint(5000, -5000) << QRectF(0.3, 0.7, 0.08, 0.005);
}

void RepaintTest::changedAreaMapsToWhereZoomedPaintingPutsIt()
{
    QFETCH(int, zoomIns);
    QFETCH(QPoint, pan);
    QFETCH(QRectF, part);
    CanvasHarness canvas;
    CanvasView& view = *canvas.history().canvas();
    const QSizeF board = view.canvasImage.size();
    const QRect imageArea = QRectF(part.x() * board.width(), part.y() * board.height(), part.width() * board.width(),
                                   part.height() * board.height())
                                .toAlignedRect();
    for (int i = 0; i < zoomIns; ++i) {
        view.zoomIn();
    }
    view.setOffset(pan.x(), pan.y());
    // Only the changed area is lit, so whatever paint() draws lit is where
    // that area appears in the window.
    // Set pixel by pixel: the board's own painter is active on the image.
    view.canvasImage.fill(Qt::black);
    for (int y = imageArea.top(); y <= imageArea.bottom(); ++y) {
        for (int x = imageArea.left(); x <= imageArea.right(); ++x) {
            view.canvasImage.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    QImage window(canvas.view->size(), QImage::Format_RGB32);
    window.fill(Qt::black);
    {
        QPainter painter(&window);
        view.paint(&painter, QRect());
    }
    const QRect lit = litArea(window);
    QVERIFY(!lit.isEmpty());
    const QRect mapped = view.windowArea(imageArea);
    QVERIFY2(mapped.contains(lit), qPrintable(QStringLiteral("lit %1,%2 %3x%4 outside %5,%6 %7x%8")
                                                  .arg(lit.x()).arg(lit.y()).arg(lit.width()).arg(lit.height())
                                                  .arg(mapped.x()).arg(mapped.y()).arg(mapped.width())
                                                  .arg(mapped.height())));
    // Not the whole window: a few pixels of slack at most.
    QVERIFY(mapped.width() <= lit.width() + 8 && mapped.height() <= lit.height() + 8);
}

QTEST_MAIN(RepaintTest)
#include "repaint_test.moc"
