// The canvas image is kept up to date incrementally; these tests drive the
// edit history the way the canvas window does, with random tools, points,
// colours, undo, redo, selections, texts and clears, and after every change
// compare the image with a fresh replay of every painted item onto the
// snapshot, byte for byte.
#include "canvas/CanvasView.h"
#include "canvas/Compositor.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/graphs/IGraph.h"
#include "platform/ScreenCapture.h"

#include <QColor>
#include <QImage>
#include <QLoggingCategory>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>
#include <QStringList>
#include <QtTest>

#include <memory>

namespace {

// A noisy snapshot: a repair copied from the wrong composite, or an item
// painted twice, shows up as changed pixels.
class NoiseCapture : public ScreenCapture {
public:
    QPixmap captureScreen(WId, int, int, int, int) override
    {
        if (size.isEmpty()) {
            return QPixmap();
        }
        QImage image(size, QImage::Format_RGB32);
        QRandomGenerator random(99);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                line[x] = 0xFF000000u | (random.generate() & 0x3F3F3Fu) | 0x404040u;
            }
        }
        image.setDevicePixelRatio(ratio);
        // Some systems grab into a format with alpha, opaque all the same.
        if (withAlpha) {
            return QPixmap::fromImage(image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                                      Qt::NoFormatConversion);
        }
        return QPixmap::fromImage(image);
    }

    QSize size;
    qreal ratio = 1.0;
    bool withAlpha = false;
};

// What the picture must be: every painted item replayed onto a copy of the
// snapshot with a painter of its own.
QImage freshReplay(GraphManager& manager)
{
    CanvasView& canvas = *manager.canvas();
    QImage image = canvas.background.copy();
    {
        QPainter painter(&image);
        for (GraphActioner* item : manager.painted()) {
            IGraph& graph = *canvas.graphs.at(item->type);
            graph.setPainter(&painter, &canvas.background);
            graph.draw(item);
            graph.setPainter(canvas.painter.get(), &canvas.background);
        }
    }
    return image;
}

QRect differingArea(const QImage& a, const QImage& b)
{
    QRect area;
    for (int y = 0; y < a.height(); ++y) {
        const auto* left = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* right = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (left[x] != right[x]) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

const QStringList texts = { QStringLiteral("A"), QStringLiteral("Hello, board"),
                            QString::fromUtf8("\xE4\xB8\xAD\xE6\x96\x87 mixed"), QStringLiteral("two\nlines"),
                            QStringLiteral("WWWWWWWWWWWWWWWW"), QStringLiteral("gjpqy") };

const int tools[] = { Pen, Highlighter, Erase, Rect, BrushRect, Line, Ellipse, BrushEllipse, LineArrow, MarkingPen,
                      Text, SelectArea, RightSymbols, WrongSymbols, Picker };

// Plays random user sessions against one board and checks every step.
class Session {
public:
    Session(quint32 seed, QSize logicalSize, qreal pointerRatio, qreal imageRatio, int spacing,
            bool snapshotWithAlpha = false)
        : random(seed)
        , logical(logicalSize)
        , pointerRatio(pointerRatio)
    {
        capture.size = QSize(qRound(logicalSize.width() * pointerRatio), qRound(logicalSize.height() * pointerRatio));
        capture.ratio = imageRatio;
        capture.withAlpha = snapshotWithAlpha;
        ScreenCapture::setInstance(&capture);
        manager = std::make_unique<GraphManager>(nullptr, spacing);
        ScreenCapture::setInstance(nullptr);
        previous = manager->canvas()->canvasImage.copy();
        manager->takeChangedArea();
    }

    // Runs `steps` random actions; false (with `failure` set) at the first mismatch.
    bool run(int steps)
    {
        for (step = 0; step < steps; ++step) {
            const int pick = random.bounded(100);
            if (pick < 45) {
                stroke();
            } else if (pick < 60) {
                undoBurst();
            } else if (pick < 72) {
                redoBurst();
            } else if (pick < 80) {
                commitText();
            } else if (pick < 84) {
                manager->clear();
                check("clear");
            } else if (pick < 90) {
                // A middle press with the select tool begins the selection
                // again (clearing its points) but adds no point.
                manager->beginAction(SelectArea);
                stroke();
            } else if (pick < 95) {
                // A late move reaches whichever item is current, even one
                // that was undone or lies under later items.
                manager->addPoint(point().x(), point().y());
                check("late move");
            } else {
                // White, black or the snapshot under everything drawn.
                manager->setBackdrop(static_cast<GraphManager::Backdrop>(random.bounded(3)));
                check("backdrop");
            }
            if (!failure.isEmpty()) {
                return false;
            }
        }
        return true;
    }

    QString failure;
    int checks = 0;
    int mostImages = 0;

private:
    QPoint point()
    {
        // Positions come in logical pixels and are rounded to device
        // pixels as the canvas does; a few land beyond the edges.
        const double x = random.bounded(-20, logical.width() + 20) + random.bounded(4) / 4.0;
        const double y = random.bounded(-20, logical.height() + 20) + random.bounded(4) / 4.0;
        return QPoint(qRound(x * pointerRatio), qRound(y * pointerRatio));
    }

    QColor color()
    {
        static const int alphas[] = { 255, 255, 200, 128, 40, 0 };
        return QColor(random.bounded(256), random.bounded(256), random.bounded(256),
                      alphas[random.bounded(static_cast<int>(sizeof(alphas) / sizeof(alphas[0])))]);
    }

    void stroke()
    {
        const int tool = tools[random.bounded(static_cast<int>(sizeof(tools) / sizeof(tools[0])))];
        manager->currentTool = tool;
        GraphActioner* item = manager->beginAction(-1);
        const QColor c = color();
        item->setProperty(QStringLiteral("size"), random.bounded(100) < 80 ? random.bounded(0, 8) : random.bounded(8, 40));
        item->setProperty(QStringLiteral("r"), c.red());
        item->setProperty(QStringLiteral("g"), c.green());
        item->setProperty(QStringLiteral("b"), c.blue());
        item->setProperty(QStringLiteral("a"), c.alpha());
        if (tool == MarkingPen) {
            item->setProperty(QStringLiteral("number"), badge++);
        }
        if (tool == SelectArea) {
            item->setProperty(QStringLiteral("selectedComplete"), 0);
            item->setProperty(QStringLiteral("selectedCompleteX"), 0);
            item->setProperty(QStringLiteral("selectedCompleteY"), 0);
        }
        // Some pen strokes come from a stylus, with a pressure at every point.
        const bool stylus = tool == Pen && random.bounded(3) == 0;
        const auto pressure = [this, stylus] { return stylus ? random.bounded(101) / 100.0 : -1.0; };
        QPoint at = point();
        manager->addPoint(at.x(), at.y(), pressure());
        check("press");
        const int moves = random.bounded(100) < 80 ? random.bounded(1, 6) : random.bounded(6, 20);
        for (int i = 0; i < moves && failure.isEmpty(); ++i) {
            // Mostly short hops like a real drag, sometimes a jump or a repeat.
            const int kind = random.bounded(10);
            if (kind < 7) {
                at += QPoint(random.bounded(-15, 16), random.bounded(-15, 16));
            } else if (kind < 9) {
                at = point();
            }
            manager->addPoint(at.x(), at.y(), pressure());
            check("move");
        }
        if (tool == SelectArea && failure.isEmpty()) {
            manager->addPoint(at.x(), at.y());
            item->setProperty(QStringLiteral("selectedComplete"), 1);
            item->setProperty(QStringLiteral("selectedCompleteX"), at.x());
            item->setProperty(QStringLiteral("selectedCompleteY"), at.y());
            check("selection release");
        }
        if (tool == Text && failure.isEmpty() && random.bounded(2) == 0) {
            commitText();
        }
    }

    void commitText()
    {
        // Often something else happens between the text press and the
        // commit, so the text lands on an item under later ones.
        if (random.bounded(3) == 0) {
            manager->redo();
            check("redo before text");
        }
        manager->setText(random.bounded(8) == 0 ? QString() : texts.at(random.bounded(texts.size())));
        check("text");
    }

    void undoBurst()
    {
        const int count = random.bounded(4) == 0 ? random.bounded(5, 40) : random.bounded(1, 4);
        for (int i = 0; i < count && failure.isEmpty(); ++i) {
            manager->undo();
            check("undo");
        }
    }

    void redoBurst()
    {
        const int count = random.bounded(4) == 0 ? random.bounded(5, 40) : random.bounded(1, 4);
        for (int i = 0; i < count && failure.isEmpty(); ++i) {
            manager->redo();
            check("redo");
        }
    }

    void check(const char* what)
    {
        if (!failure.isEmpty()) {
            return;
        }
        ++checks;
        const QImage& shown = manager->canvas()->canvasImage;
        const QImage expected = freshReplay(*manager);
        const QRect changed = manager->takeChangedArea();
        if (shown != expected) {
            const QRect wrong = differingArea(shown, expected);
            failure = QStringLiteral("step %1 (%2): %3 items painted, pixels differ in %4,%5 %6x%7")
                          .arg(step)
                          .arg(QLatin1String(what))
                          .arg(manager->painted().size())
                          .arg(wrong.x())
                          .arg(wrong.y())
                          .arg(wrong.width())
                          .arg(wrong.height());
            return;
        }
        // Whatever changed on the canvas must lie in the area reported for
        // repainting, or the window would keep showing old pixels.
        const QRect moved = differingArea(previous, shown);
        if (!moved.isEmpty() && !changed.contains(moved)) {
            failure = QStringLiteral("step %1 (%2): pixels changed outside the reported area")
                          .arg(step)
                          .arg(QLatin1String(what));
            return;
        }
        previous = shown.copy();
        mostImages = std::max(mostImages, manager->composer().fullImages());
    }

    QRandomGenerator random;
    QSize logical;
    qreal pointerRatio;
    NoiseCapture capture;
    std::unique_ptr<GraphManager> manager;
    QImage previous;
    int step = 0;
    int badge = 0;
};

} // namespace

class ComposeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void incrementalPictureEqualsFreshReplay_data();
    void incrementalPictureEqualsFreshReplay();
    void longHistoryStaysExactAndBounded();
    void trickyOrdersStayExact();
    void boardWithoutSnapshotTakesEditsQuietly();
    void compositesHoldMemoryOnlyWhereDrawn();
};

void ComposeTest::initTestCase()
{
    // Text items trace every paint; thousands of replays would drown the log.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

void ComposeTest::incrementalPictureEqualsFreshReplay_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<qreal>("pointerRatio");
    QTest::addColumn<qreal>("imageRatio");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<bool>("withAlpha");
    // Tight checkpoint spacing walks every repair path within a few hundred
    // steps; the default spacing is what the program uses.
    QTest::newRow("ratio 1, spacing 2") << 1u << 1.0 << 1.0 << 2 << false;
    QTest::newRow("ratio 1, spacing 5") << 2u << 1.0 << 1.0 << 5 << false;
    QTest::newRow("ratio 1, default spacing") << 3u << 1.0 << 1.0 << 32 << false;
    QTest::newRow("ratio 1.5, spacing 3") << 4u << 1.5 << 1.0 << 3 << false;
    QTest::newRow("ratio 1.5, default spacing") << 5u << 1.5 << 1.0 << 32 << false;
    QTest::newRow("ratio 1.5 image, spacing 4") << 6u << 1.5 << 1.5 << 4 << false;
    QTest::newRow("ratio 1.5 image, default spacing") << 7u << 1.5 << 1.5 << 32 << false;
    QTest::newRow("opaque snapshot with alpha, spacing 3") << 8u << 1.0 << 1.0 << 3 << true;
}

void ComposeTest::incrementalPictureEqualsFreshReplay()
{
    QFETCH(quint32, seed);
    QFETCH(qreal, pointerRatio);
    QFETCH(qreal, imageRatio);
    QFETCH(int, spacing);
    QFETCH(bool, withAlpha);
    Session session(seed, QSize(160, 110), pointerRatio, imageRatio, spacing, withAlpha);
    QVERIFY2(session.run(300), qPrintable(session.failure));
    QVERIFY(session.checks > 700);
    QVERIFY2(session.mostImages <= 4, "an open board holds at most four full-size images");
    // The cache was in use: the picture really was composed incrementally.
    QVERIFY(session.mostImages >= 3);
}

void ComposeTest::longHistoryStaysExactAndBounded()
{
    // Enough steps for hundreds of items, so undo walks cross checkpoints
    // many times over.
    Session session(2024, QSize(120, 90), 1.0, 1.0, 6);
    QVERIFY2(session.run(600), qPrintable(session.failure));
    QVERIFY(session.mostImages <= 4);
}

namespace {

// A board of 200 x 150 with a noisy snapshot, drawn on in translucent colours.
struct SmallBoard {
    SmallBoard()
    {
        capture.size = QSize(200, 150);
        ScreenCapture::setInstance(&capture);
        manager = std::make_unique<GraphManager>(nullptr, 2);
        ScreenCapture::setInstance(nullptr);
    }

    GraphActioner* begin(int tool, int alpha = 90)
    {
        manager->currentTool = tool;
        GraphActioner* item = manager->beginAction(-1);
        item->setProperty(QStringLiteral("size"), 6);
        item->setProperty(QStringLiteral("r"), 20);
        item->setProperty(QStringLiteral("g"), 200);
        item->setProperty(QStringLiteral("b"), 90);
        item->setProperty(QStringLiteral("a"), alpha);
        return item;
    }

    GraphActioner* draw(int tool, QPoint from, QPoint to)
    {
        GraphActioner* item = begin(tool);
        manager->addPoint(from.x(), from.y());
        manager->addPoint((from.x() + to.x()) / 2, from.y());
        manager->addPoint(to.x(), to.y());
        return item;
    }

    bool exact() const { return manager->canvas()->canvasImage == freshReplay(*manager); }

    NoiseCapture capture;
    std::unique_ptr<GraphManager> manager;
};

} // namespace

void ComposeTest::trickyOrdersStayExact()
{
    {
        // Redo after new drawing puts the undone item on top of the new one.
        SmallBoard board;
        board.draw(Pen, QPoint(10, 10), QPoint(150, 100));
        board.draw(BrushRect, QPoint(40, 30), QPoint(120, 90));
        board.manager->undo();
        QVERIFY(board.exact());
        board.draw(BrushEllipse, QPoint(30, 20), QPoint(130, 110));
        board.manager->redo();
        QVERIFY(board.exact());
        QCOMPARE(board.manager->painted().back()->type, int(BrushRect));
    }
    {
        // An undone selection chosen again is not painted until redone, and
        // then with its new corners, in its old place in the order.
        SmallBoard board;
        GraphActioner* select = board.draw(SelectArea, QPoint(20, 20), QPoint(100, 80));
        board.draw(Pen, QPoint(0, 50), QPoint(190, 60));
        board.manager->undo();
        board.manager->undo();
        QVERIFY(board.exact());
        QCOMPARE(board.manager->beginAction(SelectArea), select);
        board.manager->addPoint(150, 120);
        board.manager->addPoint(60, 10);
        QVERIFY(board.exact());
        board.manager->redo();
        QVERIFY(board.exact());
        board.manager->redo();
        QVERIFY(board.exact());
        // Selecting again while it is painted moves the marquee under the stroke.
        board.manager->beginAction(SelectArea);
        board.manager->addPoint(5, 5);
        QVERIFY(board.exact());
        board.manager->addPoint(190, 140);
        QVERIFY(board.exact());
    }
    {
        // Text committed on an item that is no longer the top one.
        SmallBoard board;
        board.draw(BrushRect, QPoint(0, 0), QPoint(199, 149));
        board.manager->undo();
        GraphActioner* text = board.begin(Text);
        board.manager->addPoint(30, 60);
        board.manager->redo();
        QVERIFY(board.manager->painted().back() != text);
        board.manager->setText(QStringLiteral("under the rectangle"));
        QVERIFY(board.exact());
        board.manager->undo();
        QVERIFY(board.exact());
    }
    {
        // Clearing, undoing the clear and redoing it.
        SmallBoard board;
        board.draw(Pen, QPoint(10, 140), QPoint(190, 5));
        board.draw(LineArrow, QPoint(180, 140), QPoint(30, 30));
        board.manager->clear();
        QVERIFY(board.exact());
        board.draw(Ellipse, QPoint(50, 50), QPoint(70, 90));
        board.manager->undo();
        board.manager->undo();
        QVERIFY(board.exact());
        board.manager->redo();
        QVERIFY(board.exact());
        QCOMPARE(board.manager->canvas()->canvasImage, board.manager->canvas()->background);
    }
}

void ComposeTest::boardWithoutSnapshotTakesEditsQuietly()
{
    // A failed capture leaves no picture to draw on; edits are still kept
    // and nothing is painted or reported as changed.
    NoiseCapture failing;
    ScreenCapture::setInstance(&failing);
    GraphManager manager(nullptr);
    ScreenCapture::setInstance(nullptr);
    QVERIFY(manager.canvas()->canvasImage.isNull());
    manager.currentTool = Pen;
    manager.beginAction(-1)->setProperty(QStringLiteral("size"), 3);
    manager.addPoint(1, 1);
    manager.addPoint(5, 5);
    manager.undo();
    manager.redo();
    manager.clear();
    QCOMPARE(manager.painted().size(), size_t(3));
    QVERIFY(manager.takeChangedArea().isEmpty());
}

void ComposeTest::compositesHoldMemoryOnlyWhereDrawn()
{
    // A large board drawn on in one corner only: the cache and the
    // checkpoint are in use, yet hold little beyond that corner.
    NoiseCapture capture;
    capture.size = QSize(4200, 1200);
    ScreenCapture::setInstance(&capture);
    GraphManager manager(nullptr, 2);
    ScreenCapture::setInstance(nullptr);
    manager.currentTool = Pen;
    for (int i = 0; i < 40; ++i) {
        GraphActioner* item = manager.beginAction(-1);
        item->setProperty(QStringLiteral("size"), 2 + i % 5);
        item->setProperty(QStringLiteral("r"), 250);
        item->setProperty(QStringLiteral("a"), 120 + i);
        for (int p = 0; p < 20; ++p) {
            manager.addPoint(10 + (i * 37 + p * 11) % 300, 10 + (i * 13 + p * 7) % 200);
        }
    }
    manager.currentTool = Rect;
    GraphActioner* rect = manager.beginAction(-1);
    rect->setProperty(QStringLiteral("size"), 4);
    rect->setProperty(QStringLiteral("a"), 255);
    for (int p = 0; p < 10; ++p) {
        manager.addPoint(50, 60);
        manager.addPoint(120 + p * 9, 90 + p * 5);
    }
    for (int i = 0; i < 12; ++i) {
        manager.undo();
    }
    for (int i = 0; i < 5; ++i) {
        manager.redo();
    }
    QCOMPARE(manager.canvas()->canvasImage, freshReplay(manager));
    QCOMPARE(manager.composer().fullImages(), 4);
    const qint64 fullImage = manager.canvas()->canvasImage.sizeInBytes();
    QVERIFY2(manager.composer().compositeBytes() > 0, "the composites were never written");
    QVERIFY2(manager.composer().compositeBytes() < fullImage / 10,
             qPrintable(QStringLiteral("composites hold %1 bytes").arg(manager.composer().compositeBytes())));
}

QTEST_MAIN(ComposeTest)
#include "compose_test.moc"
