// The board's input modes and the pointer's path from a press to a drawn item.

#include "canvas/BoardInput.h"

#include "canvas/CanvasView.h"
#include "canvas/ColorPicker.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/ItemFactory.h"
#include "canvas/LaserPointer.h"
#include "canvas/Screenview.h"
#include "canvas/TextEntry.h"
#include "canvas/ToolTable.h"
#include "canvas/graphs/InkStroke.h"

#include <QMouseEvent>
#include <QString>
#include <QTabletEvent>
#include <QWheelEvent>

BoardPointer BoardPointer::of(const QMouseEvent& e)
{
    BoardPointer pointer;
    pointer.pos = e.pos();
    pointer.globalPos = e.globalPos();
    pointer.button = e.button();
    return pointer;
}

#if QT_CONFIG(tabletevent)
BoardPointer BoardPointer::of(const QTabletEvent& e)
{
    BoardPointer pointer;
    pointer.pos = e.posF().toPoint();
    pointer.globalPos = e.globalPosF().toPoint();
    pointer.button = e.button() == Qt::NoButton ? Qt::LeftButton : e.button();
    pointer.pressure = e.pressure();
    pointer.eraser = e.pointerType() == QTabletEvent::Eraser;
    return pointer;
}
#endif

BoardInput::BoardInput(Screenview& board)
    : board(board)
{
}

void BoardInput::setMode(Mode next)
{
    const Mode left = current;
    current = next;
    if (left == Mode::Pan && next != Mode::Pan && board.graphManager) {
        board.graphManager->resetZoom();
    }
    if (left == Mode::Pick && next != Mode::Pick && board.colorPicker) {
        board.colorPicker->stop();
    }
    if (left == Mode::Type && next != Mode::Type) {
        board.textEntry->close();
    }
    if (next == Mode::Pick && left != Mode::Pick && board.colorPicker) {
        board.colorPicker->start();
    }
    updateTracking();
}

void BoardInput::updateTracking()
{
    const bool selecting = (current == Mode::Draw || current == Mode::Select) && board.tool() == SelectArea;
    board.setAttribute(Qt::WA_MouseTracking, current == Mode::Pick || selecting);
}

void BoardInput::press(const BoardPointer& e)
{
    const QPoint pos = board.toDevice(e.pos);
    if (e.button == Qt::RightButton && !(board.windowState() & Qt::WindowMaximized)) {
        held = Press::None;
        // The selection is looked up where the pointer is on the board,
        // whatever the zoom and pan.
        board.openContextMenu(board.graphManager ? board.graphManager->canvas()->boardPoint(e.pos) : pos);
        // The popup swallowed the release, so the button is no longer held.
        held = Press::None;
        return;
    }
    if (current == Mode::Pan) {
        held = Press::Pan;
        lastPos = pos;
        return;
    }
    // The picker draws nothing, shown or put away.
    held = Press::Nothing;
    if (current == Mode::Pick || board.tool() == Picker || !board.graphManager) {
        return;
    }
    if (board.tool() == Laser && !e.eraser) {
        held = Press::Laser;
        board.laser->follow(e.pos);
        return;
    }
    beginItem(pos, e);
}

void BoardInput::beginItem(const QPoint& devicePos, const BoardPointer& e)
{
    GraphManager& history = *board.graphManager;
    const QPoint logicalPos = e.pos;
    const Qt::MouseButton button = e.button;
    if (e.eraser) {
        held = Press::Item;
        board.itemFactory->begin(history, Erase);
        history.addPoint(devicePos.x(), devicePos.y());
        return;
    }
    const int type = board.tool();
    if (type == Text && current == Mode::Type && board.textEntry->open()) {
        // Another click while typing moves the entry; it begins no new item.
        board.textEntry->moveTo(logicalPos);
        GraphActioner* item = history.current();
        if (item && item->type == Text) {
            item->points.clear();
            history.addPoint(devicePos.x(), devicePos.y());
        }
        return;
    }
    held = Press::Item;
    board.itemFactory->begin(history);
    if (type == Text) {
        if (current == Mode::Type) {
            board.textEntry->moveTo(logicalPos);
        } else {
            board.textEntry->openAt(logicalPos);
            setMode(Mode::Type);
        }
    } else if (type == SelectArea) {
        GraphActioner* item = history.current();
        if (button == Qt::LeftButton) {
            item->setProperty(QStringLiteral("selectedComplete"), 0);
            item->setProperty(QStringLiteral("selectedCompleteX"), 0);
            item->setProperty(QStringLiteral("selectedCompleteY"), 0);
            lastPos = devicePos;
            selectionLocked = false;
            setMode(Mode::Select);
        } else {
            selectionLocked = true;
        }
    }
    // A locked selection only holds back the select tool; other tools draw as usual.
    if (!(type == SelectArea && selectionLocked)) {
        history.addPoint(devicePos.x(), devicePos.y(), pressureWidth ? e.pressure : -1);
    }
}

void BoardInput::move(const BoardPointer& e)
{
    if (current == Mode::Pick) {
        board.movePicker(e.globalPos);
        return;
    }
    const QPoint pos = board.toDevice(e.pos);
    switch (held) {
    case Press::Item:
        continueItem(pos, pressureWidth ? e.pressure : -1);
        board.updateChanged();
        break;
    case Press::Pan:
        pan(pos);
        break;
    case Press::Laser:
        board.laser->follow(e.pos);
        break;
    case Press::None:
    case Press::Nothing:
        break;
    }
}

void BoardInput::pan(const QPoint& devicePos)
{
    if (current != Mode::Pan || !board.graphManager) {
        // Zoom ended while the button was held: the drag still only pans.
        return;
    }
    panTotal += devicePos - lastPos;
    // The pan is drawn in window (logical) pixels: converted back so that
    // the board follows the pointer at any device pixel ratio.
    const QPoint offset = board.toLogical(panTotal);
    board.graphManager->setOffset(offset.x(), offset.y());
    lastPos = devicePos;
    board.update();
}

void BoardInput::continueItem(const QPoint& devicePos, double pressure)
{
    const GraphActioner* item = board.graphManager->current();
    if (item && item->type == SelectArea) {
        if (selectionLocked) {
            return;
        }
        lastPos = devicePos;
    }
    board.graphManager->addPoint(devicePos.x(), devicePos.y(), pressure);
}

const GraphActioner* BoardInput::stroke() const
{
    return held == Press::Item && board.graphManager ? board.graphManager->current() : nullptr;
}

void BoardInput::cancel()
{
    const Press was = held;
    held = Press::None;
    if (was == Press::Laser) {
        board.laser->lift();
    }
    if (was == Press::Item && board.graphManager) {
        if (GraphActioner* item = board.graphManager->current()) {
            board.graphManager->discardCurrent(item->type);
        }
        if (current == Mode::Select || current == Mode::Type) {
            setMode(Mode::Draw);
        }
        board.updateChanged();
    }
}

void BoardInput::release(const BoardPointer& e)
{
    const Press was = held;
    held = Press::None;
    const QPoint pos = board.toDevice(e.pos);
    if (was == Press::Pan) {
        lastPos = pos;
        return;
    }
    if (was == Press::Laser) {
        board.laser->lift();
        return;
    }
    if (was == Press::Item) {
        finishItem(pos, e.button);
        emit board.historyChanged();
    }
}

void BoardInput::finishItem(const QPoint& devicePos, Qt::MouseButton button)
{
    GraphManager& history = *board.graphManager;
    GraphActioner* item = history.current();
    // The item the press began: the stylus's eraser end erases whatever the tool.
    const int type = item ? item->type : board.tool();
    const ToolRow* row = ToolTable::row(type);
    if (row && row->twoPoints && item && item->points.size() < 2) {
        // A click without a drag draws nothing with these tools.
        history.discardCurrent(type);
        if (current == Mode::Select) {
            setMode(Mode::Draw);
        }
        return;
    }
    if (type == SelectArea) {
        finishSelection(devicePos, button);
        if (current == Mode::Select) {
            setMode(Mode::Draw);
        }
    }
    if (row && row->stampsOnClick) {
        board.updateChanged();
    }
    if (item && (type == Pen || type == Erase) && InkStroke::needsFinish(*item)) {
        // The curve ends where the pointer was let go.
        const QPoint last = item->points.back();
        history.addPoint(last.x(), last.y());
    }
    // The stroke's tail is part of it now.
    board.updateChanged();
}

void BoardInput::finishSelection(const QPoint& devicePos, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        selectionLocked = true;
    }
    lastPos = devicePos;
    GraphManager& history = *board.graphManager;
    history.addPoint(devicePos.x(), devicePos.y());
    GraphActioner* item = history.current();
    item->setProperty(QStringLiteral("selectedComplete"), 1);
    item->setProperty(QStringLiteral("selectedCompleteX"), devicePos.x());
    item->setProperty(QStringLiteral("selectedCompleteY"), devicePos.y());
    board.updateChanged();
}

bool BoardInput::wheel(QWheelEvent* e)
{
    if (!(held == Press::Pan && current == Mode::Pan)) {
        return false;
    }
    if (e->angleDelta().y() > 0) {
        board.zoomIn();
    } else {
        board.zoomOut();
    }
    board.update();
    return true;
}
