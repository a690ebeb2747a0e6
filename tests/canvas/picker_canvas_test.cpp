// The colour picker on a real canvas window: shown with its timer while the
// picker tool is on, following the pointer (flipping near the right and
// bottom edges) at any device pixel ratio, and gone on Escape or another tool.
#include "output_fixture.h"

#include "canvas/ColorPicker.h"
#include "canvas/GraphType.h"

#include <QtTest>

class PickerCanvasTest : public QObject
{
    Q_OBJECT

private slots:
    void followsThePointerAndFlipsNearTheEdges()
    {
        Board board;
        auto* picker = board.view->findChild<ColorPicker*>();
        QVERIFY(picker);
        QVERIFY(!picker->isVisible());
        board.view->selectColorPicker();
        QVERIFY(picker->isVisible());
        QVERIFY(picker->sampleTimer()->isActive());

        // In the open the corner sits on the pointer, whatever the ratio.
        board.move(QPoint(300, 200));
        QCOMPARE(picker->pos(), QPoint(300, 200));
        // A move that lands on the picker itself still carries it along.
        board.move(QPoint(310, 215));
        QCOMPARE(picker->pos(), QPoint(310, 215));

        // Near the bottom-right corner it sits above and to the left.
        const QPoint corner(board.view->width() - 10, board.view->height() - 10);
        board.move(corner);
        QCOMPARE(picker->pos(), corner - QPoint(picker->width(), picker->height()));
        QVERIFY(picker->geometry().right() < corner.x());
        QVERIFY(picker->geometry().bottom() < corner.y());
    }

    void pressWhilePickingDrawsNothing()
    {
        Board board;
        board.view->selectColorPicker();
        const size_t items = board.history().painted().size();
        board.drag(QPoint(100, 100), QPoint(180, 140));
        QCOMPARE(board.history().painted().size(), items);
    }

    void escapeOrAnotherToolPutsThePickerAway()
    {
        Board board;
        auto* picker = board.view->findChild<ColorPicker*>();
        board.view->selectColorPicker();
        QTest::keyClick(board.view.get(), Qt::Key_Escape);
        QVERIFY(!picker->isVisible());
        QVERIFY(!picker->sampleTimer()->isActive());
        QCOMPARE(board.view->tool(), int(Pen));

        board.view->selectColorPicker();
        board.view->selectRect(false);
        QVERIFY(!picker->isVisible());
        QVERIFY(!picker->sampleTimer()->isActive());

        board.view->selectColorPicker();
        board.view->zoomIn();
        QVERIFY(!picker->isVisible());
    }
};

QTEST_MAIN(PickerCanvasTest)
#include "picker_canvas_test.moc"
