// Drawn items go through the real canvas view (snapshot through the capture
// interface, one painter, renderer table) and the pixels are checked.
#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "canvas/graphs/LineArrowGraph.h"
#include "canvas/graphs/SelectAreaGraph.h"
#include "platform/ScreenCapture.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>
#include <QRect>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

// Stands in for the screen: gives back a picture of the requested size.
class PictureCapture : public ScreenCapture {
public:
    QPixmap captureScreen(WId, int, int, int width, int height) override
    {
        QImage image(width, height, QImage::Format_RGB32);
        if (pattern == Pattern::Noise) {
            QRandomGenerator random(42);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    image.setPixel(x, y, 0xFF000000u | random.generate());
                }
            }
        } else if (pattern == Pattern::Fail) {
            // As the system capture reports a failed grab.
            qWarning("QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
            return QPixmap();
        } else {
            image.fill(pattern == Pattern::White ? Qt::white : Qt::black);
        }
        return QPixmap::fromImage(image);
    }

    enum class Pattern { White, Black, Noise, Fail };
    Pattern pattern = Pattern::White;
};

// A board as the canvas opens it: snapshot, renderers, painter.
struct Board {
    explicit Board(PictureCapture::Pattern pattern)
    {
        capture.pattern = pattern;
        ScreenCapture::setInstance(&capture);
        view = std::make_unique<CanvasView>();
        ScreenCapture::setInstance(nullptr);
        view->registerGraphs();
        view->attachView(nullptr);
    }

    // Creates, fills and paints one item the way the history does.
    GraphActioner& draw(int type, std::vector<QPoint> points, QColor color = QColor(255, 0, 0),
                        int size = 4)
    {
        auto item = std::make_unique<GraphActioner>();
        item->type = type;
        item->attach(view.get());
        item->setProperty("size", size);
        item->setProperty("r", color.red());
        item->setProperty("g", color.green());
        item->setProperty("b", color.blue());
        item->setProperty("a", color.alpha());
        for (QPoint p : points) {
            item->addPoint(p);
        }
        items.push_back(std::move(item));
        return *items.back();
    }

    void replay()
    {
        GraphActioner backgroundItem;
        backgroundItem.type = Image;
        backgroundItem.attach(view.get());
        backgroundItem.notify();
        for (auto& item : items) {
            item->notify();
        }
    }

    // Snapshot of what the canvas shows now (the painter stays active).
    QImage shown() const { return view->canvasImage.copy(); }

    PictureCapture capture;
    std::unique_ptr<CanvasView> view;
    std::vector<std::unique_ptr<GraphActioner>> items;
};

int changedPixels(const QImage& a, const QImage& b, QRect* bounds = nullptr)
{
    int count = 0;
    QRect box;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++count;
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    if (bounds) {
        *bounds = box;
    }
    return count;
}

// Where light text sits on a dark picture.
QRect lightBounds(const QImage& image, const QRect& within)
{
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

} // namespace

class RenderersTest : public QObject {
    Q_OBJECT

private slots:
    void missingPropertiesReadAsZero()
    {
        GraphActioner item;
        QCOMPARE(item.property("text"), QString());
        QCOMPARE(item.propertyInt("size"), 0);
        item.setProperty("size", QString("wide"));
        QCOMPARE(item.propertyInt("size"), 0);
        item.setProperty("size", 12);
        QCOMPARE(item.property("size"), QString("12"));

        // No colour at all is fully transparent: a stroke leaves no mark.
        Board board(PictureCapture::Pattern::White);
        const QImage before = board.shown();
        GraphActioner& bare = board.draw(Pen, { { 10, 10 }, { 90, 90 } });
        bare.properties.clear();
        board.replay();
        QCOMPARE(changedPixels(before, board.shown()), 0);
    }

    void missingSizeGivesHairline()
    {
        Board board(PictureCapture::Pattern::White);
        const QImage before = board.shown();
        GraphActioner& line = board.draw(Line, { { 10, 50 }, { 90, 50 } }, QColor(0, 0, 0));
        line.properties.remove("size");
        board.replay();
        int rows = 0;
        for (int y = 40; y < 60; ++y) {
            rows += board.shown().pixel(50, y) != before.pixel(50, y) ? 1 : 0;
        }
        QVERIFY2(rows >= 1 && rows <= 2, qPrintable(QString("line covers %1 rows").arg(rows)));
    }

    void penNeedsTwoPoints()
    {
        Board board(PictureCapture::Pattern::White);
        const QImage before = board.shown();
        board.draw(Pen, { { 40, 40 } }, QColor(0, 0, 255), 8);
        board.replay();
        QCOMPARE(changedPixels(before, board.shown()), 0);

        board.items.back()->addPoint({ 80, 40 });
        board.replay();
        QRect bounds;
        QVERIFY(changedPixels(before, board.shown(), &bounds) > 0);
        // One segment with round caps: 40..80 grown by half the width.
        QVERIFY2(QRect(35, 35, 51, 11).contains(bounds), qPrintable(QString("%1,%2 %3x%4")
                     .arg(bounds.x()).arg(bounds.y()).arg(bounds.width()).arg(bounds.height())));
        QCOMPARE(board.shown().pixelColor(60, 40), QColor(0, 0, 255));
    }

    void highlighterIsOneToneAcrossItselfAndKeepsTextUnderItDark()
    {
        Board board(PictureCapture::Pattern::White);
        // Black "text" first, then a yellow highlighter stroke that runs
        // over it and doubles back across itself.
        board.draw(BrushRect, { { 40, 46 }, { 60, 54 } }, QColor(0, 0, 0), 1);
        board.draw(Highlighter, { { 10, 50 }, { 90, 50 }, { 90, 52 }, { 20, 52 } }, QColor(255, 255, 0), 3);
        board.replay();
        const QImage shown = board.shown();
        // Where the stroke lies once (left of where it doubles back) and
        // where it lies over itself: one tone.
        const QColor once = shown.pixelColor(12, 47);
        const QColor twice = shown.pixelColor(30, 51);
        QVERIFY2(once != QColor(Qt::white), "the highlighter painted nothing");
        QCOMPARE(twice, once);
        // White turns yellow; the black text under it stays black.
        QCOMPARE(once.red(), 255);
        QVERIFY2(once.blue() < 160, qPrintable(QString("blue %1").arg(once.blue())));
        QCOMPARE(shown.pixelColor(50, 50), QColor(0, 0, 0));
    }

    void translucentStrokeDarkerWhereSegmentsMeet()
    {
        Board board(PictureCapture::Pattern::White);
        board.draw(Pen, { { 10, 50 }, { 50, 50 }, { 90, 50 } }, QColor(0, 0, 255, 100), 10);
        board.replay();
        const QImage shown = board.shown();
        // The pieces of the curve meet in the middle of each segment.
        const int middleOfSegment = shown.pixelColor(50, 50).red();
        const int joint = shown.pixelColor(30, 50).red();
        QVERIFY2(joint < middleOfSegment,
                 qPrintable(QString("joint red %1, segment red %2").arg(joint).arg(middleOfSegment)));
    }

    void shapeSpansSameCornersWhicheverWayDragged_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("rectangle") << int(Rect);
        QTest::newRow("filled rectangle") << int(BrushRect);
        QTest::newRow("ellipse") << int(Ellipse);
        QTest::newRow("filled ellipse") << int(BrushEllipse);
    }

    void shapeSpansSameCornersWhicheverWayDragged()
    {
        QFETCH(int, type);
        Board downRight(PictureCapture::Pattern::White);
        downRight.draw(type, { { 20, 30 }, { 45, 45 }, { 70, 80 } }, QColor(200, 0, 0), 3);
        downRight.replay();
        Board upLeft(PictureCapture::Pattern::White);
        upLeft.draw(type, { { 70, 80 }, { 10, 10 }, { 20, 30 } }, QColor(200, 0, 0), 3);
        upLeft.replay();
        QRect bounds;
        const int differing = changedPixels(downRight.shown(), upLeft.shown(), &bounds);
        QVERIFY2(differing == 0, qPrintable(QString("%1 pixels differ in %2,%3 %4x%5").arg(differing)
                     .arg(bounds.x()).arg(bounds.y()).arg(bounds.width()).arg(bounds.height())));
        // Outline or filled as the kind says.
        const QColor centre = downRight.shown().pixelColor(45, 55);
        const bool filled = type == BrushRect || type == BrushEllipse;
        QCOMPARE(centre == QColor(Qt::white), !filled);
    }

    void eraserGivesBackSnapshot_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QColor>("color");
        QTest::newRow("thin transparent") << 1 << QColor(0, 0, 0, 0);
        QTest::newRow("wide green") << 40 << QColor(0, 255, 0, 255);
        QTest::newRow("half-see-through") << 8 << QColor(255, 255, 255, 128);
    }

    void eraserGivesBackSnapshot()
    {
        QFETCH(int, size);
        QFETCH(QColor, color);
        Board board(PictureCapture::Pattern::Noise);
        const std::vector<QPoint> stroke { { 20, 40 }, { 60, 42 }, { 90, 70 } };
        board.draw(Pen, stroke, QColor(255, 0, 0), 6);
        board.replay();
        QVERIFY(changedPixels(board.view->background, board.shown()) > 0);

        board.draw(Erase, stroke, color, size);
        board.replay();
        const QImage shown = board.shown();
        int worst = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QColor got = shown.pixelColor(x, y);
                const QColor want = board.view->background.pixelColor(x, y);
                QCOMPARE(got.alpha(), 255);
                worst = std::max({ worst, std::abs(got.red() - want.red()),
                                   std::abs(got.green() - want.green()),
                                   std::abs(got.blue() - want.blue()) });
            }
        }
        // Edge blending of the snapshot with itself may round by one.
        QVERIFY2(worst <= 1, qPrintable(QString("a channel is off by %1").arg(worst)));
    }

    void badgeTextShiftsRightForOneDigit()
    {
        const QPoint p0(30, 30);
        QRect textOf[2];
        const int numbers[2] = { 7, 12 };
        for (int i = 0; i < 2; ++i) {
            Board board(PictureCapture::Pattern::Black);
            GraphActioner& badge = board.draw(MarkingPen, { p0 }, QColor(0, 0, 200), 1);
            badge.setProperty("number", numbers[i]);
            board.replay();
            textOf[i] = lightBounds(board.shown(), QRect(0, 0, 120, 120));
            QVERIFY(!textOf[i].isEmpty());

            // Where the same text lands when drawn by hand at the expected origin.
            QImage reference(120, 120, QImage::Format_RGB32);
            reference.fill(Qt::black);
            QPainter painter(&reference);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setFont(QFont(QString::fromUtf8("\xE5\xAE\x8B\xE4\xBD\x93"), 13, QFont::Bold));
            painter.setPen(Qt::white);
            painter.drawText(QPointF(numbers[i] < 10 ? p0.x() + 5 : p0.x(), p0.y() + 15),
                             QString::number(numbers[i]));
            painter.end();
            QCOMPARE(textOf[i], lightBounds(reference, reference.rect()));
        }
        // The disc itself: blue, 20 x 20 from P0.
        Board board(PictureCapture::Pattern::Black);
        board.draw(MarkingPen, { p0 }, QColor(0, 0, 200), 1).setProperty("number", 0);
        board.replay();
        QCOMPARE(board.shown().pixelColor(p0.x() + 3, p0.y() + 10).blue(), 200);
        QCOMPARE(board.shown().pixelColor(p0.x() + 23, p0.y() + 10), QColor(Qt::black));
    }

    void textIsRedWhateverItemColour()
    {
        Board board(PictureCapture::Pattern::Black);
        GraphActioner& text = board.draw(Text, { { 20, 50 } }, QColor(0, 0, 255), 3);
        text.setProperty("text", QString("Hello"));
        board.replay();
        const QImage shown = board.shown();
        int red = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 120; ++x) {
                const QColor c = shown.pixelColor(x, y);
                QCOMPARE(c.blue(), 0);
                QCOMPARE(c.green(), 0);
                red += c.red() > 200 ? 1 : 0;
            }
        }
        QVERIFY(red > 10);
        // The baseline starts at P0: glyphs stand above it, from P0.x on.
        QRect bounds;
        changedPixels(board.view->background, shown, &bounds);
        QVERIFY(bounds.left() >= 19 && bounds.left() <= 24);
        QVERIFY(bounds.bottom() <= 51 && bounds.top() < 50);

        text.setProperty("text", QString());
        board.replay();
        QCOMPARE(changedPixels(board.view->background, board.shown()), 0);
    }

    void arrowOutline()
    {
        const QPolygonF polygon = LineArrowGraph::arrowPolygon({ 0, 0 }, { 100, 0 });
        QCOMPARE(polygon.size(), 6);
        const QPointF expected[6] = { { 0, 0 },           { 82.6130, -4.6587 }, { 82.6795, -10.0 },
                                      { 100, 0 },         { 82.6795, 10.0 },    { 82.6130, 4.6587 } };
        for (int i = 0; i < 6; ++i) {
            QVERIFY2(std::abs(polygon[i].x() - expected[i].x()) < 1e-3
                         && std::abs(polygon[i].y() - expected[i].y()) < 1e-3,
                     qPrintable(QString("point %1 is %2,%3").arg(i).arg(polygon[i].x()).arg(polygon[i].y())));
        }
        // Head length does not depend on the shaft's.
        const QPolygonF shortOne = LineArrowGraph::arrowPolygon({ 50, 50 }, { 50, 20 });
        QVERIFY(std::abs(shortOne[2].y() - (20 + 20 * std::cos(30 * 3.1415926 / 180))) < 1e-3);
    }

    void arrowWithoutLengthDrawsNothing()
    {
        QVERIFY(LineArrowGraph::arrowPolygon({ 40, 40 }, { 40, 40 }).isEmpty());
        Board board(PictureCapture::Pattern::White);
        board.draw(LineArrow, { { 40, 40 }, { 70, 20 }, { 40, 40 } }, QColor(0, 0, 0), 3);
        board.replay();
        QCOMPARE(changedPixels(board.view->background, board.shown()), 0);

        board.items.back()->addPoint({ 90, 40 });
        board.replay();
        // The head is filled: the pixel just behind the tip is the item's colour.
        QCOMPARE(board.shown().pixelColor(85, 40), QColor(0, 0, 0));
    }

    void selectionPaintsNothingAndItsMarqueeFollowsPointerUntilComplete()
    {
        Board board(PictureCapture::Pattern::White);
        const QImage before = board.shown();
        GraphActioner& area = board.draw(SelectArea, { { 10, 10 }, { 30, 30 }, { 60, 50 } });
        board.replay();
        QCOMPARE(changedPixels(before, board.shown()), 0);
        // The marquee is painted over the board by the canvas window.
        auto redInColumn = [&](int x) {
            int count = 0;
            QImage shown = before.copy();
            {
                QPainter painter(&shown);
                SelectAreaGraph::paintMarquee(painter, QRectF(SelectAreaGraph::area(area)));
            }
            for (int y = 12; y < 48; ++y) {
                const QColor c = shown.pixelColor(x, y);
                count += c.red() > 200 && c.green() < 150 ? 1 : 0;
            }
            return count;
        };
        board.replay();
        QVERIFY(redInColumn(60) > 5);
        QCOMPARE(redInColumn(80), 0);

        area.setProperty("selectedComplete", 1);
        area.setProperty("selectedCompleteX", 80);
        area.setProperty("selectedCompleteY", 70);
        board.replay();
        QCOMPARE(redInColumn(60), 0);
        QVERIFY(redInColumn(80) > 5);
        // Dash-dot, not solid.
        QVERIFY(redInColumn(80) < 36);
    }

    void symbolsStampTheirOwnSize_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("size");
        QTest::newRow("tick") << int(RightSymbols) << QSize(59, 45);
        QTest::newRow("cross") << int(WrongSymbols) << QSize(44, 44);
    }

    void symbolsStampTheirOwnSize()
    {
        QFETCH(int, type);
        QFETCH(QSize, size);
        Board board(PictureCapture::Pattern::White);
        board.draw(type, { { 100, 120 } }, QColor(0, 0, 255), 30);
        board.replay();
        QRect bounds;
        QVERIFY(changedPixels(board.view->background, board.shown(), &bounds) > 0);
        QVERIFY(QRect(QPoint(100, 120), size).contains(bounds));
        // Transparent corners keep the snapshot.
        QCOMPARE(board.shown().pixelColor(100, 120), QColor(Qt::white));
    }

    void replayStartsFromSnapshot()
    {
        Board board(PictureCapture::Pattern::Noise);
        QCOMPARE(board.view->canvasImage, board.view->background);
        QCOMPARE(board.view->screenPixmap.size(), board.view->background.size());
        board.draw(BrushRect, { { 10, 10 }, { 50, 50 } });
        board.replay();
        QVERIFY(changedPixels(board.view->background, board.shown()) > 0);
        // Once the item is gone from the history, the next replay shows the snapshot.
        board.items.clear();
        board.replay();
        QCOMPARE(board.shown(), board.view->background);
        // A kind with no renderer is ignored.
        board.draw(99, { { 10, 10 }, { 50, 50 } });
        board.replay();
        QCOMPARE(board.shown(), board.view->background);
    }

    void failedSnapshotGivesEmptyBoard()
    {
        // The board asks for its snapshot once, and that grab fails.
        QTest::ignoreMessage(QtWarningMsg, "QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
        Board board(PictureCapture::Pattern::Fail);
        QVERIFY(board.view->canvasImage.isNull());
        QVERIFY(board.view->background.isNull());
        board.draw(Pen, { { 10, 10 }, { 50, 50 } });
        board.draw(Erase, { { 10, 10 }, { 50, 50 } });
        board.draw(Text, { { 10, 10 } }).setProperty("text", QString("x"));
        board.replay();
        board.view->attachView(nullptr);
        board.replay();
        QVERIFY(board.view->canvasImage.isNull());
    }
};

QTEST_MAIN(RenderersTest)
#include "renderers_test.moc"
