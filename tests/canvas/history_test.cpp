#include "screenview_harness.h"

#include "canvas/GraphType.h"

#include <QObject>
#include <QtTest>

#include <algorithm>

namespace {

const QColor red(220, 0, 0);
const QColor green(0, 200, 0);
const QColor blue(0, 0, 230);
const QColor yellow(250, 250, 0);

int indexOf(const std::vector<GraphActioner*>& list, const GraphActioner* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

// Is every pixel of the image the snapshot's?
bool showsOnlySnapshot(const QImage& image)
{
    QImage expected(image.size(), image.format());
    expected.fill(SolidCapture::snapshotColor());
    return image == expected;
}

// Does the dash-dotted marquee (or anything else) mark the column x between y0 and y1?
// Whether any pixel of column x between y0 and y1 differs from the snapshot.
bool columnMarked(const QImage& image, int x, int y0, int y1)
{
    for (int y = y0; y <= y1; ++y) {
        if (!sameColor(image.pixelColor(x, y), SolidCapture::snapshotColor())) {
            return true;
        }
    }
    return false;
}

} // namespace

class HistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void newBoardHoldsOnlyTheSnapshot();
    void redoAfterNewDrawingPutsTheUndoneItemOnTop();
    void undoneItemsComeBackLastUndoneFirst();
    void undoNeverRemovesTheBackground();
    void undoRestoresThePictureBeforeTheItem();
    void secondSelectionReusesTheSelectItemInItsPlace();
    void undoneSelectionStaysHiddenWhenSelectedAgain();
    void selectionEndsWhenAnotherItemBegins();
    void setTextIgnoresNonTextItems();
    void clearBoardIsOneUndoableStep();
    void clearingAnEmptyBoardAddsNoStep();
    void selectionAfterClearIsVisible();
    void marqueeShowsOverLaterDrawingsAndNeverInTheBoard();
};

void HistoryTest::newBoardHoldsOnlyTheSnapshot()
{
    CanvasHarness canvas;
    QCOMPARE(canvas.capture.captures, 1);
    QCOMPARE(canvas.history().painted().size(), size_t(1));
    QCOMPARE(canvas.history().painted().front()->type, int(Image));
    QVERIFY(canvas.history().undone().empty());
    QVERIFY(showsOnlySnapshot(canvas.image()));
    QCOMPARE(canvas.view->tool(), int(Pen));
}

void HistoryTest::redoAfterNewDrawingPutsTheUndoneItemOnTop()
{
    CanvasHarness canvas;
    // Staggered blocks: each pairwise overlap shows which was painted later.
    canvas.drawBlock({10, 10}, {60, 60}, red);     // A
    canvas.drawBlock({50, 50}, {100, 100}, green); // B
    GraphActioner* a = canvas.history().painted()[1];
    GraphActioner* b = canvas.history().painted()[2];
    canvas.view->undo();
    canvas.drawBlock({30, 30}, {80, 80}, blue); // C
    GraphActioner* c = canvas.history().painted()[2];
    canvas.view->redo();

    const std::vector<GraphActioner*> expected{canvas.history().painted()[0], a, c, b};
    QVERIFY(canvas.history().painted() == expected);
    QVERIFY(canvas.history().undone().empty());
    QVERIFY(sameColor(canvas.pixel(15, 15), red));
    QVERIFY(sameColor(canvas.pixel(35, 35), blue));  // C over A
    QVERIFY(sameColor(canvas.pixel(55, 55), green)); // B over both
    QVERIFY(sameColor(canvas.pixel(75, 75), green)); // B over C
    QVERIFY(sameColor(canvas.pixel(95, 95), green));
}

void HistoryTest::undoneItemsComeBackLastUndoneFirst()
{
    CanvasHarness canvas;
    canvas.drawBlock({10, 10}, {40, 40}, red);
    canvas.drawBlock({60, 60}, {90, 90}, green);
    GraphActioner* first = canvas.history().painted()[1];
    GraphActioner* second = canvas.history().painted()[2];
    canvas.view->undo();
    canvas.view->undo();
    QVERIFY(showsOnlySnapshot(canvas.image()));
    canvas.view->redo();

    QCOMPARE(canvas.history().painted().size(), size_t(2));
    QCOMPARE(canvas.history().painted()[1], first);
    QCOMPARE(canvas.history().undone().size(), size_t(1));
    QCOMPARE(canvas.history().undone().front(), second);
    QVERIFY(sameColor(canvas.pixel(25, 25), red));
    QVERIFY(sameColor(canvas.pixel(75, 75), SolidCapture::snapshotColor()));
}

void HistoryTest::undoNeverRemovesTheBackground()
{
    CanvasHarness canvas;
    GraphActioner* background = canvas.history().painted().front();
    canvas.view->undo();
    canvas.view->redo();
    QCOMPARE(canvas.history().painted().size(), size_t(1));
    QVERIFY(canvas.history().undone().empty());

    canvas.drawBlock({10, 10}, {40, 40}, red);
    for (int i = 0; i < 3; ++i) {
        canvas.view->undo();
    }
    QCOMPARE(canvas.history().painted().size(), size_t(1));
    QCOMPARE(canvas.history().painted().front(), background);
    QCOMPARE(canvas.history().undone().size(), size_t(1));
    QVERIFY(showsOnlySnapshot(canvas.image()));
}

void HistoryTest::undoRestoresThePictureBeforeTheItem()
{
    CanvasHarness canvas;
    canvas.view->setPenWidth(5);
    canvas.view->selectPen();
    canvas.view->setPenColor(255, 255, 0, 145);
    canvas.drag({20, 20}, {120, 70});
    canvas.view->selectEllipse(false);
    canvas.drag({30, 90}, {140, 20});
    const QImage before = canvas.image().copy();

    canvas.drawBlock({0, 0}, {150, 150}, blue);
    QVERIFY(canvas.image() != before);
    canvas.view->undo();
    QVERIFY(canvas.image() == before);
    canvas.view->redo();
    canvas.view->undo();
    QVERIFY(canvas.image() == before);
}

void HistoryTest::secondSelectionReusesTheSelectItemInItsPlace()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({20, 20}, {100, 100});
    GraphActioner* select = canvas.history().current();
    QCOMPARE(select->type, int(SelectArea));
    QCOMPARE(canvas.history().selectionRect(), QRect(20, 20, 80, 80));
    QVERIFY(columnMarked(canvas.shownWindow(), 20, 25, 95)); // the first marquee

    canvas.drawBlock({150, 150}, {200, 200}, green);
    canvas.view->selectArea();
    canvas.drag({160, 40}, {260, 120});

    QCOMPARE(canvas.history().current(), select);
    QCOMPARE(canvas.history().painted().size(), size_t(3));
    QCOMPARE(indexOf(canvas.history().painted(), select), 1);
    QCOMPARE(select->propertyInt("selectedComplete"), 1);
    QCOMPARE(select->propertyInt("selectedCompleteX"), 260);
    QCOMPARE(select->propertyInt("selectedCompleteY"), 120);
    QCOMPARE(canvas.history().selectionRect(), QRect(160, 40, 100, 80));
    QVERIFY(!columnMarked(canvas.shownWindow(), 20, 25, 95)); // the old marquee is gone
    QVERIFY(columnMarked(canvas.shownWindow(), 160, 45, 115));
}

void HistoryTest::undoneSelectionStaysHiddenWhenSelectedAgain()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({20, 20}, {100, 100});
    GraphActioner* select = canvas.history().current();
    canvas.view->undo();
    QVERIFY(showsOnlySnapshot(canvas.image()));

    canvas.drag({30, 30}, {120, 90});
    QCOMPARE(canvas.history().current(), select);
    QCOMPARE(indexOf(canvas.history().painted(), select), -1);
    QCOMPARE(indexOf(canvas.history().undone(), select), 0);
    QVERIFY(showsOnlySnapshot(canvas.image()));
    // Still the current selection, so its menu and output work on it.
    QCOMPARE(canvas.history().selectionRect(), QRect(30, 30, 90, 60));

    canvas.view->redo();
    QVERIFY(columnMarked(canvas.shownWindow(), 30, 35, 85));
}

void HistoryTest::selectionEndsWhenAnotherItemBegins()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({100, 100}, {20, 30}); // bottom-right to top-left
    const QRect selection = canvas.history().selectionRect();
    QCOMPARE(selection, QRect(100, 100, -80, -70));
    QVERIFY(canvas.history().selectionContains({50, 50}));
    QVERIFY(!canvas.history().selectionContains({150, 50}));

    canvas.view->selectPen();
    canvas.drag({200, 200}, {220, 210});
    QCOMPARE(canvas.history().selectionRect(), QRect(0, 0, 0, 0));
    // The marquee still shows over the stroke, and it is what the menus act on.
    QVERIFY(canvas.history().selectionContains({50, 50}));
    QVERIFY(!canvas.history().selectionContains({150, 50}));
}

void HistoryTest::setTextIgnoresNonTextItems()
{
    CanvasHarness canvas;
    canvas.view->selectPen();
    canvas.drag({20, 20}, {60, 60});
    const QImage before = canvas.image().copy();
    canvas.history().setText("ignored");
    QVERIFY(canvas.history().current()->property("text").isEmpty());
    QVERIFY(canvas.image() == before);
}

void HistoryTest::clearBoardIsOneUndoableStep()
{
    CanvasHarness canvas;
    canvas.drawBlock({10, 10}, {60, 60}, red);
    canvas.view->selectMarkPen();
    canvas.click({100, 100});
    canvas.view->selectLine();
    canvas.view->setPenWidth(4);
    canvas.drag({0, 150}, {200, 150});
    const QImage drawn = canvas.image().copy();
    const size_t items = canvas.history().painted().size();

    canvas.view->clearBoard();
    QVERIFY(showsOnlySnapshot(canvas.image()));

    canvas.view->undo();
    QVERIFY(canvas.image() == drawn);
    QCOMPARE(canvas.history().painted().size(), items);

    canvas.view->redo();
    QVERIFY(showsOnlySnapshot(canvas.image()));

    // Drawing after the clear shows on the cleared board.
    canvas.drawBlock({70, 70}, {90, 90}, green);
    QVERIFY(sameColor(canvas.pixel(80, 80), green));
    QVERIFY(sameColor(canvas.pixel(30, 30), SolidCapture::snapshotColor()));
    canvas.view->undo();
    canvas.view->undo();
    QVERIFY(canvas.image() == drawn);
}

void HistoryTest::clearingAnEmptyBoardAddsNoStep()
{
    CanvasHarness canvas;
    canvas.view->clearBoard();
    QCOMPARE(canvas.history().painted().size(), size_t(1));

    canvas.drawBlock({10, 10}, {60, 60}, red);
    canvas.view->clearBoard();
    canvas.view->clearBoard();
    QCOMPARE(canvas.history().painted().size(), size_t(3));
    canvas.view->undo();
    QVERIFY(sameColor(canvas.pixel(30, 30), red));
}

void HistoryTest::selectionAfterClearIsVisible()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({20, 20}, {100, 100});
    canvas.view->clearBoard();
    QVERIFY(showsOnlySnapshot(canvas.image()));
    QCOMPARE(canvas.history().selectionRect(), QRect(0, 0, 0, 0));

    canvas.view->selectArea();
    canvas.drag({40, 40}, {140, 120});
    QCOMPARE(canvas.history().selectionRect(), QRect(40, 40, 100, 80));
    QVERIFY(columnMarked(canvas.shownWindow(), 40, 45, 115));
}

void HistoryTest::marqueeShowsOverLaterDrawingsAndNeverInTheBoard()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({20, 20}, {100, 100});
    QVERIFY(showsOnlySnapshot(canvas.image()));
    QVERIFY(columnMarked(canvas.shownWindow(), 20, 25, 95));

    // A block drawn over the selection's edge afterwards: the marquee shows on top.
    canvas.drawBlock({2, 2}, {60, 60}, blue);
    const QImage window = canvas.shownWindow();
    int redOverBlue = 0;
    for (int y = 25; y < 55; ++y) {
        const QColor c = window.pixelColor(20, y);
        redOverBlue += c.red() > 120 && c.blue() < 200 ? 1 : 0;
    }
    QVERIFY(redOverBlue > 3);
    for (int y = 25; y < 55; ++y) {
        QCOMPARE(canvas.pixel(20, y), blue);
    }

    // Clear hides it; undoing the clear and selecting anew shows one marquee only.
    canvas.view->clearBoard();
    QVERIFY(!columnMarked(canvas.shownWindow(), 20, 70, 95));
    canvas.view->undo();
    QVERIFY(columnMarked(canvas.shownWindow(), 20, 70, 95));
    canvas.view->selectArea();
    canvas.drag({160, 40}, {260, 120});
    QVERIFY(!columnMarked(canvas.shownWindow(), 20, 70, 95));
    QVERIFY(columnMarked(canvas.shownWindow(), 160, 45, 115));
}

QTEST_MAIN(HistoryTest)
#include "history_test.moc"
