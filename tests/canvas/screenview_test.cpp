#include "screenview_harness.h"

#include "canvas/GraphType.h"
#include "canvas/LaserPointer.h"
#include "canvas/QTextEditer.h"

#include <QAction>
#include <QCursor>
#include <QTabletEvent>
#include <QTouchDevice>
#include <QObject>
#include <QPointer>
#include <QtTest>

class ScreenviewTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Screenview::markNumber = 0; }

    void coversThePrimaryScreenAsAPlainFramelessWindow();
    void newItemsTakeThePenOfTheirPress();
    void penChangesNeverAlterEarlierItems();
    void markersAreNumberedAcrossUndoAndRedo();
    void markerCounterIsSharedByEveryCanvas();
    void rightPressInsideSelectionOpensSelectionMenu();
    void rightPressWithOtherToolsOpensMainMenuWithoutItem();
    void menuActionsRunTheirHandlerOnly();
    void zoomModePressCreatesNoItemAndToolChoiceLeavesIt();
    void pickerPressCreatesNoItemAndEscapeReturnsToPen();
    void dragWithThePickerPutAwayChangesNoFinishedStroke();
    void afterClearAndUndoTheShownMarqueeOpensTheSelectionMenu();
    void wheelDoesNothingOutsideZoomDrag();
    void lockedSelectionHoldsBackOnlyTheSelectTool();
    void undoAndRedoLeaveTheOpenEditorAlone();
    void exitAsksAndQuitsOnlyOnYes();
    void laserShowsOverTheBoardButIsNeverPartOfIt();
    void stylusPressureSetsTheWidthAndItsEraserEndErases();
    void twoFingersPanTheZoomedBoard();
    void onAWhiteBoardTheEraserPaintsWhite();
};

void ScreenviewTest::coversThePrimaryScreenAsAPlainFramelessWindow()
{
    CanvasHarness canvas;
    QVERIFY(canvas.exposed);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(canvas.view->size(), screen.size());
    QCOMPARE(canvas.view->minimumSize(), screen.size());
    QCOMPARE(canvas.view->maximumSize(), screen.size());
    QVERIFY(canvas.view->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!canvas.view->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(canvas.view->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(canvas.view->isVisible());

    const std::vector<void (Screenview::*)()> tools{
        &Screenview::selectPen, &Screenview::selectEraser, &Screenview::selectMarkPen, &Screenview::selectText,
        &Screenview::selectArea, &Screenview::selectColorPicker, &Screenview::selectRightSymbol};
    for (auto select : tools) {
        (canvas.view.get()->*select)();
        QCOMPARE(canvas.view->cursor().shape(), Qt::ArrowCursor);
    }

    canvas.view->toggleVisible();
    QVERIFY(!canvas.view->isVisible());
    canvas.view->toggleVisible();
    QVERIFY(canvas.view->isVisible());
}

void ScreenviewTest::newItemsTakeThePenOfTheirPress()
{
    struct Case {
        void (Screenview::*select)();
        int type;
    };
    const std::vector<Case> cases{
        {&Screenview::selectPen, Pen},          {&Screenview::selectEraser, Erase},
        {&Screenview::selectLine, Line},        {&Screenview::selectArrow, LineArrow},
        {&Screenview::selectMarkPen, MarkingPen}, {&Screenview::selectRightSymbol, RightSymbols},
        {&Screenview::selectWrongSymbol, WrongSymbols}};
    CanvasHarness canvas;
    canvas.view->setPenWidth(6);
    canvas.view->setPenColor(10, 20, 30, 145);
    for (const Case& c : cases) {
        (canvas.view.get()->*c.select)();
        canvas.drag({50, 60}, {90, 100});
        const GraphActioner* item = canvas.history().current();
        QCOMPARE(item->type, c.type);
        QCOMPARE(item->propertyInt("size"), 6);
        QCOMPARE(item->property("r"), QString("10"));
        QCOMPARE(item->property("g"), QString("20"));
        QCOMPARE(item->property("b"), QString("30"));
        QCOMPARE(item->property("a"), QString("145"));
        // Press and three moves; a stroke's release takes its last point
        // again, so its curve ends there.
        const bool stroke = c.type == Pen || c.type == Erase;
        QCOMPARE(item->points.size(), size_t(stroke ? 5 : 4));
        QCOMPARE(item->points.front(), QPoint(50, 60));
        QCOMPARE(item->points.back(), QPoint(90, 100));
    }
    canvas.view->selectRect(false);
    canvas.drag({5, 5}, {9, 9});
    QCOMPARE(canvas.history().current()->type, int(Rect));
    canvas.view->selectRect(true);
    canvas.drag({5, 5}, {9, 9});
    QCOMPARE(canvas.history().current()->type, int(BrushRect));
    canvas.view->selectEllipse(false);
    canvas.drag({5, 5}, {9, 9});
    QCOMPARE(canvas.history().current()->type, int(Ellipse));
    canvas.view->selectEllipse(true);
    canvas.drag({5, 5}, {9, 9});
    QCOMPARE(canvas.history().current()->type, int(BrushEllipse));

    // A click without a drag draws nothing with these tools, so it leaves
    // nothing for undo to take back; a badge or a stamp from a click stays.
    const size_t drawn = canvas.history().painted().size();
    for (auto select : {&Screenview::selectPen, &Screenview::selectEraser, &Screenview::selectLine,
                        &Screenview::selectArrow}) {
        (canvas.view.get()->*select)();
        canvas.click({300, 300});
        QCOMPARE(canvas.history().painted().size(), drawn);
    }
    for (bool filled : {false, true}) {
        canvas.view->selectRect(filled);
        canvas.click({300, 300});
        canvas.view->selectEllipse(filled);
        canvas.click({300, 300});
        QCOMPARE(canvas.history().painted().size(), drawn);
    }
    canvas.view->selectMarkPen();
    canvas.click({300, 300});
    canvas.view->selectRightSymbol();
    canvas.click({300, 300});
    QCOMPARE(canvas.history().painted().size(), drawn + 2);
}

void ScreenviewTest::penChangesNeverAlterEarlierItems()
{
    CanvasHarness canvas;
    QCOMPARE(canvas.view->currentPenWidth(), 1);
    canvas.view->selectLine();
    canvas.drag({10, 10}, {200, 10});
    GraphActioner* first = canvas.history().current();
    QCOMPARE(first->propertyInt("size"), 1);
    QCOMPARE(first->property("r") + first->property("g") + first->property("b") + first->property("a"),
             QString("25500255")); // opaque red, the starting pen
    const QImage before = canvas.image().copy();

    canvas.view->setPenWidth(9);
    canvas.view->setPenColor(0, 0, 255, 255);
    QCOMPARE(first->propertyInt("size"), 1);
    QCOMPARE(first->propertyInt("b"), 0);
    QVERIFY(canvas.image() == before);

    canvas.view->selectLine();
    canvas.drag({10, 100}, {200, 100});
    QCOMPARE(first->propertyInt("size"), 1);
    QCOMPARE(first->propertyInt("r"), 255);
    QCOMPARE(canvas.history().current()->propertyInt("size"), 9);
    QCOMPARE(canvas.history().current()->propertyInt("b"), 255);
    QCOMPARE(canvas.image().copy(0, 0, 250, 50), before.copy(0, 0, 250, 50));
}

void ScreenviewTest::markersAreNumberedAcrossUndoAndRedo()
{
    CanvasHarness canvas;
    canvas.view->selectMarkPen();
    canvas.click({20, 20});
    canvas.click({60, 20});
    canvas.view->undo();
    canvas.view->redo();
    canvas.view->undo();
    canvas.click({100, 20});
    canvas.view->redo();

    std::vector<int> numbers;
    for (const GraphActioner* item : canvas.history().painted()) {
        if (item->type == MarkingPen) {
            numbers.push_back(item->propertyInt("number"));
        }
    }
    QCOMPARE(numbers, (std::vector<int>{0, 2, 1}));
    QCOMPARE(Screenview::markNumber, 3);
    // A badge is a disc in the pen's colour with its box starting at the press.
    QVERIFY(sameColor(canvas.pixel(23, 30), QColor(255, 0, 0)));
}

void ScreenviewTest::markerCounterIsSharedByEveryCanvas()
{
    {
        CanvasHarness canvas;
        canvas.view->selectMarkPen();
        canvas.click({20, 20});
    }
    CanvasHarness second;
    second.view->selectMarkPen();
    second.click({20, 20});
    QCOMPARE(second.history().current()->propertyInt("number"), 1);
    Screenview::markNumber = 0; // what the panel does when the board opens
    second.click({60, 20});
    QCOMPARE(second.history().current()->propertyInt("number"), 0);
}

void ScreenviewTest::rightPressInsideSelectionOpensSelectionMenu()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({200, 150}, {50, 40}); // bottom-right to top-left
    const size_t items = canvas.history().painted().size();
    GraphActioner* select = canvas.history().current();
    const auto points = select->points;

    QCOMPARE(canvas.rightPressOpening({100, 100}), canvas.view->selectionContextMenu());
    QCOMPARE(canvas.rightPressOpening({50, 40}), canvas.view->selectionContextMenu()); // edges count
    QCOMPARE(canvas.rightPressOpening({300, 100}), canvas.view->mainContextMenu());
    QCOMPARE(canvas.history().painted().size(), items);
    QCOMPARE(canvas.history().current(), select);
    QVERIFY(select->points == points);
    QCOMPARE(select->propertyInt("selectedComplete"), 1);

    // A right press does not leave the button held: hovering adds nothing.
    canvas.move({120, 120});
    QVERIFY(select->points == points);
}

void ScreenviewTest::rightPressWithOtherToolsOpensMainMenuWithoutItem()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({50, 40}, {200, 150});
    canvas.view->selectRect(false);
    QCOMPARE(canvas.rightPressOpening({100, 100}), canvas.view->mainContextMenu());
    canvas.view->selectPen();
    QCOMPARE(canvas.rightPressOpening({10, 10}), canvas.view->mainContextMenu());
    QCOMPARE(canvas.history().painted().size(), size_t(2));
}

void ScreenviewTest::menuActionsRunTheirHandlerOnly()
{
    CanvasHarness canvas;
    canvas.view->selectPen();
    canvas.drag({10, 10}, {50, 50});
    // Entries without a handler do nothing.
    auto* bare = new QAction("bare", canvas.view->mainContextMenu());
    canvas.view->mainContextMenu()->addAction(bare);
    bare->trigger();
    canvas.view->onMenuTrigged(nullptr);
    QCOMPARE(canvas.history().painted().size(), size_t(2));

    // A chosen entry reaches its handler through the menu's one dispatcher.
    QAction* undoEntry = nullptr;
    for (QAction* action : canvas.view->mainContextMenu()->actions()) {
        if (action->text().trimmed() == "Undo") {
            undoEntry = action;
        }
    }
    QVERIFY(undoEntry);
    undoEntry->trigger();
    QCOMPARE(canvas.history().painted().size(), size_t(1));
    QCOMPARE(canvas.history().undone().size(), size_t(1));
}

void ScreenviewTest::zoomModePressCreatesNoItemAndToolChoiceLeavesIt()
{
    CanvasHarness canvas;
    canvas.view->zoomIn();
    QVERIFY(canvas.view->isZoomMode());
    canvas.drag({100, 100}, {150, 130});
    QCOMPARE(canvas.history().painted().size(), size_t(1));
    QVERIFY(canvas.history().undone().empty());

    canvas.view->selectPen();
    QVERIFY(!canvas.view->isZoomMode());
    canvas.drag({100, 100}, {150, 130});
    QCOMPARE(canvas.history().painted().size(), size_t(2));

    canvas.view->zoomOut();
    QVERIFY(canvas.view->isZoomMode());
    canvas.view->undo();
    QVERIFY(!canvas.view->isZoomMode());
    QCOMPARE(canvas.history().painted().size(), size_t(1));

    // Panning never changes a drawing: not the stroke or selection last drawn.
    for (auto select : {&Screenview::selectArrow, &Screenview::selectArea}) {
        (canvas.view.get()->*select)();
        canvas.drag({100, 100}, {200, 160});
        const GraphActioner* item = canvas.history().current();
        const std::vector<QPoint> points = item->points;
        const QRect selection = canvas.history().selectionRect();
        canvas.view->zoomIn();
        canvas.drag({300, 300}, {260, 280});
        QCOMPARE(item->points, points);
        QCOMPARE(canvas.history().selectionRect(), selection);
    }
}

void ScreenviewTest::pickerPressCreatesNoItemAndEscapeReturnsToPen()
{
    CanvasHarness canvas;
    canvas.view->selectColorPicker();
    QVERIFY(canvas.view->isPickerActive());
    QCOMPARE(canvas.view->tool(), int(Picker));
    QVERIFY(canvas.view->hasMouseTracking());
    canvas.drag({100, 100}, {150, 130});
    QCOMPARE(canvas.history().painted().size(), size_t(1));

    QTest::keyClick(canvas.view.get(), Qt::Key_Escape);
    QVERIFY(!canvas.view->isPickerActive());
    QCOMPARE(canvas.view->tool(), int(Pen));
    QVERIFY(!canvas.view->hasMouseTracking());
    canvas.drag({100, 100}, {150, 130});
    QCOMPARE(canvas.history().painted().size(), size_t(2));

    // Undo leaves the picker too; pressing with it put away draws nothing.
    canvas.view->selectColorPicker();
    canvas.view->undo();
    QVERIFY(!canvas.view->isPickerActive());
    canvas.drag({100, 100}, {150, 130});
    QCOMPARE(canvas.history().painted().size(), size_t(1));
}

// Undo and redo put the picker away with the tool still the picker: the
// next drag begins no item, so it must change none either.
void ScreenviewTest::dragWithThePickerPutAwayChangesNoFinishedStroke()
{
    CanvasHarness canvas;
    canvas.view->selectPen();
    canvas.drag({100, 100}, {150, 130});
    GraphActioner* stroke = canvas.history().current();
    const std::vector<QPoint> points = stroke->points;
    const QImage drawn = canvas.image().copy();
    const size_t items = canvas.history().painted().size();

    canvas.view->selectColorPicker();
    canvas.view->undo();
    canvas.view->redo();
    QVERIFY(!canvas.view->isPickerActive());
    canvas.drag({300, 300}, {500, 400});
    QCOMPARE(stroke->points, points);
    QCOMPARE(canvas.history().painted().size(), items);
    QCOMPARE(canvas.image(), drawn);
    canvas.view->undo();
    QCOMPARE(canvas.history().painted().size(), items - 1);
}

void ScreenviewTest::afterClearAndUndoTheShownMarqueeOpensTheSelectionMenu()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({50, 40}, {200, 150});
    canvas.view->clearBoard();
    canvas.view->undo();
    QVERIFY(!canvas.history().visibleSelection().isEmpty());
    QCOMPARE(canvas.rightPressOpening({100, 100}), canvas.view->selectionContextMenu());
    QCOMPARE(canvas.rightPressOpening({300, 100}), canvas.view->mainContextMenu());
}

void ScreenviewTest::wheelDoesNothingOutsideZoomDrag()
{
    CanvasHarness canvas;
    canvas.view->selectPen();
    canvas.press({100, 100});
    QWheelEvent wheel(QPointF(100, 100), QPointF(canvas.view->mapToGlobal(QPoint(100, 100))), QPoint(),
                      QPoint(0, 120), Qt::LeftButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(canvas.view.get(), &wheel);
    canvas.release({100, 100});
    QVERIFY(!canvas.view->isZoomMode());

    canvas.view->zoomIn();
    const double zoomed = canvas.history().canvas()->scale;
    QWheelEvent unheld(QPointF(100, 100), QPointF(canvas.view->mapToGlobal(QPoint(100, 100))), QPoint(),
                       QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(canvas.view.get(), &unheld);
    QVERIFY(canvas.view->isZoomMode());
    QVERIFY(canvas.history().canvas()->scale == zoomed);
    QCOMPARE(canvas.history().painted().size(), size_t(1));
}

void ScreenviewTest::lockedSelectionHoldsBackOnlyTheSelectTool()
{
    CanvasHarness canvas;
    canvas.view->selectArea();
    canvas.drag({20, 20}, {80, 80});
    // A middle press with the select tool locks the selection: nothing is
    // added until the next left press.
    canvas.press({100, 100}, Qt::MiddleButton);
    canvas.move({120, 120});
    GraphActioner* select = canvas.history().current();
    QVERIFY(select->points.empty());
    canvas.release({120, 120}, Qt::MiddleButton);
    QCOMPARE(select->points.size(), size_t(1));

    // Other tools still draw.
    canvas.view->selectPen();
    canvas.drag({10, 200}, {100, 200});
    QCOMPARE(canvas.history().current()->points.size(), size_t(5));

    canvas.view->selectArea();
    canvas.drag({30, 30}, {90, 70});
    QCOMPARE(canvas.history().selectionRect(), QRect(30, 30, 60, 40));
}

void ScreenviewTest::undoAndRedoLeaveTheOpenEditorAlone()
{
    CanvasHarness canvas;
    canvas.view->selectPen();
    canvas.drag({10, 10}, {50, 50});
    canvas.view->selectText();
    canvas.click({100, 100});
    QTextEditer* editor = canvas.view->openEditor();
    QVERIFY(editor && editor->isVisible());
    canvas.view->undo();
    QCOMPARE(canvas.view->openEditor(), editor);
    QVERIFY(editor->isVisible());
    QVERIFY(canvas.view->isTextEditing());
}

void ScreenviewTest::exitAsksAndQuitsOnlyOnYes()
{
    CanvasHarness canvas;
    canvas.view->selectPen();
    canvas.drag({10, 10}, {50, 50});

    CanvasHarness::Question no;
    CanvasHarness::answerNextQuestion(QDialogButtonBox::NoRole, &no);
    canvas.view->requestExit();
    QVERIFY(no.asked);
    QCOMPARE(no.title, QString("Tips"));
    QVERIFY(no.texts.contains("Whether it is necessary to exit the software?"));
    QVERIFY(canvas.view->manager() != nullptr);
    QCOMPARE(canvas.history().painted().size(), size_t(2));

    // Closing the box without an answer is not a yes either.
    CanvasHarness::Question closed;
    CanvasHarness::answerNextQuestion(QDialogButtonBox::InvalidRole, &closed);
    canvas.view->requestExit();
    QVERIFY(closed.asked);
    QVERIFY(canvas.view->manager() != nullptr);

    CanvasHarness::Question yes;
    CanvasHarness::answerNextQuestion(QDialogButtonBox::YesRole, &yes);
    canvas.view->requestExit();
    QVERIFY(yes.asked);
    QVERIFY(canvas.view->manager() == nullptr);

    // Input that still arrives before the loop ends finds no history and is harmless.
    canvas.drag({10, 10}, {50, 50});
    canvas.view->undo();
    canvas.view->clearBoard();
    canvas.view->selectRect(true);
    canvas.view->repaint();
}


void ScreenviewTest::laserShowsOverTheBoardButIsNeverPartOfIt()
{
    CanvasHarness canvas;
    const QImage before = canvas.image().copy();
    const size_t items = canvas.history().painted().size();
    canvas.view->selectLaser();
    canvas.press({100, 100});
    canvas.move({140, 120});
    canvas.move({180, 140});
    // The window shows the dot where the pointer is; the board has none of it.
    QTRY_VERIFY(canvas.shownWindow().pixelColor(180, 140) != SolidCapture::snapshotColor());
    QCOMPARE(canvas.image(), before);
    canvas.release({180, 140});
    QCOMPARE(canvas.history().painted().size(), items);
    QCOMPARE(canvas.image(), before);
    // The trail fades away by itself.
    QTRY_COMPARE_WITH_TIMEOUT(canvas.shownWindow().pixelColor(180, 140), SolidCapture::snapshotColor(), 5000);
    QTRY_COMPARE(canvas.shownWindow().pixelColor(140, 120), SolidCapture::snapshotColor());
    // A board closed while the trail still fades takes the fade with it:
    // its timer must never repaint a window that is gone.
    canvas.press({100, 100});
    canvas.move({140, 120});
    canvas.release({140, 120});
    QPointer<LaserPointer> laser = canvas.view->findChild<LaserPointer*>();
    QVERIFY(laser && laser->showing());
    canvas.view.reset();
    QVERIFY(laser.isNull());
}

namespace {

// A stylus stroke across the board from `from` to `to` at `pressure`.
void stylusStroke(Screenview* view, QPoint from, QPoint to, qreal pressure,
                  QTabletEvent::PointerType end = QTabletEvent::Pen)
{
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QTabletEvent event(type, QPointF(at), QPointF(view->mapToGlobal(at)), QTabletEvent::Stylus, end,
                           pressure, 0, 0, 0, 0, 0, Qt::NoModifier, 1, button, buttons);
        QApplication::sendEvent(view, &event);
    };
    send(QEvent::TabletPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        send(QEvent::TabletMove, from + (to - from) * step / 4, Qt::NoButton, Qt::LeftButton);
    send(QEvent::TabletRelease, to, Qt::LeftButton, Qt::NoButton);
}

// How many pixels of the column at `x` differ from the snapshot.
int thickness(const QImage& image, int x)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += image.pixelColor(x, y) != SolidCapture::snapshotColor();
    return count;
}

} // namespace

void ScreenviewTest::stylusPressureSetsTheWidthAndItsEraserEndErases()
{
    CanvasHarness canvas;
    const double r = canvas.view->boardRatio();
    canvas.view->setPenWidth(8);
    stylusStroke(canvas.view.get(), {20, 40}, {200, 40}, 0.1);
    stylusStroke(canvas.view.get(), {20, 100}, {200, 100}, 1.0);
    const QImage drawn = canvas.image().copy();
    const int x = qRound(110 * r);
    QImage light = drawn.copy(0, 0, drawn.width(), qRound(70 * r));
    QImage firm = drawn.copy(0, qRound(70 * r), drawn.width(), qRound(70 * r));
    QVERIFY2(thickness(firm, x) > 3 * thickness(light, x),
             qPrintable(QString("light %1, firm %2").arg(thickness(light, x)).arg(thickness(firm, x))));

    // Switched off, pressure leaves the pen's own width.
    canvas.view->setPressureWidth(false);
    stylusStroke(canvas.view.get(), {20, 160}, {200, 160}, 0.1);
    const QImage plain = canvas.image().copy(0, qRound(130 * r), drawn.width(), qRound(70 * r));
    QVERIFY(thickness(plain, x) > thickness(light, x));

    // The other end of the stylus erases, whatever the tool.
    stylusStroke(canvas.view.get(), {20, 100}, {200, 100}, 0.5, QTabletEvent::Eraser);
    QCOMPARE(canvas.history().current()->type, int(Erase));
    QCOMPARE(canvas.pixel(x, qRound(100 * r)), SolidCapture::snapshotColor());
}

void ScreenviewTest::twoFingersPanTheZoomedBoard()
{
    CanvasHarness canvas;
    QTouchDevice* screen = QTest::createTouchDevice();
    canvas.view->zoomIn();
    canvas.view->zoomIn();
    const size_t items = canvas.history().painted().size();
    const CanvasView* view = canvas.history().canvas();
    const int startX = view->offsetX;
    QTest::touchEvent(canvas.view.get(), screen).press(0, {200, 200}, canvas.view.get());
    QTest::touchEvent(canvas.view.get(), screen)
        .move(0, {200, 200}, canvas.view.get()).press(1, {300, 200}, canvas.view.get());
    for (int step = 1; step <= 4; ++step) {
        QTest::touchEvent(canvas.view.get(), screen)
            .move(0, QPoint(200 + 10 * step, 200), canvas.view.get())
            .move(1, QPoint(300 + 10 * step, 200), canvas.view.get());
    }
    QTest::touchEvent(canvas.view.get(), screen).release(0, {240, 200}, canvas.view.get()).release(1, {340, 200}, canvas.view.get());
    canvas.view->grab();
    QCOMPARE(view->offsetX - startX, 40);
    // The first finger's stroke was taken back when the second came.
    QCOMPARE(canvas.history().painted().size(), items);
}

void ScreenviewTest::onAWhiteBoardTheEraserPaintsWhite()
{
    CanvasHarness canvas;
    const double r = canvas.view->boardRatio();
    canvas.view->toggleWhiteBoard();
    const QPoint mid(qRound(60 * r), qRound(50 * r));
    QCOMPARE(canvas.pixel(mid.x(), mid.y()), QColor(Qt::white));
    canvas.view->setPenWidth(6);
    canvas.drag({20, 50}, {100, 50});
    QVERIFY(canvas.pixel(mid.x(), mid.y()) != QColor(Qt::white));
    canvas.view->selectEraser();
    canvas.drag({20, 50}, {100, 50});
    QCOMPARE(canvas.pixel(mid.x(), mid.y()), QColor(Qt::white));
    // The same key again shows the snapshot under what is drawn.
    canvas.view->toggleWhiteBoard();
    QCOMPARE(canvas.pixel(mid.x(), mid.y()), SolidCapture::snapshotColor());
}

QTEST_MAIN(ScreenviewTest)
#include "screenview_test.moc"
