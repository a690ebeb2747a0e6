// The board's input modes and the pointer's path from a press to a drawn item.

#include "canvas/BoardInput.h"

#include "canvas/CanvasView.h"
#include "canvas/ColorPicker.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/ItemFactory.h"
#include "canvas/Screenview.h"
#include "canvas/TextEntry.h"
#include "canvas/ToolTable.h"

#include <QMouseEvent>
#include <QString>
#include <QWheelEvent>

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

void BoardInput::press(QMouseEvent* e)
{
    const QPoint pos = board.toDevice(e->pos());
    if (e->button() == Qt::RightButton && !(board.windowState() & Qt::WindowMaximized)) {
        held = Press::None;
        // The selection is looked up where the pointer is on the board,
        // whatever the zoom and pan.
        board.openContextMenu(board.graphManager ? board.graphManager->canvas()->boardPoint(e->pos()) : pos);
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
    beginItem(pos, e->pos(), e->button());
}

void BoardInput::beginItem(const QPoint& devicePos, const QPoint& logicalPos, Qt::MouseButton button)
{
    GraphManager& history = *board.graphManager;
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
        history.addPoint(devicePos.x(), devicePos.y());
    }
}

void BoardInput::move(QMouseEvent* e)
{
    if (current == Mode::Pick) {
        board.movePicker(e->globalPos());
        return;
    }
    const QPoint pos = board.toDevice(e->pos());
    switch (held) {
    case Press::Item:
        continueItem(pos);
        board.updateChanged();
        break;
    case Press::Pan:
        pan(pos);
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

void BoardInput::continueItem(const QPoint& devicePos)
{
    if (board.tool() == SelectArea) {
        if (selectionLocked) {
            return;
        }
        lastPos = devicePos;
    }
    board.graphManager->addPoint(devicePos.x(), devicePos.y());
}

void BoardInput::release(QMouseEvent* e)
{
    const Press was = held;
    held = Press::None;
    const QPoint pos = board.toDevice(e->pos());
    if (was == Press::Pan) {
        lastPos = pos;
        return;
    }
    if (was == Press::Item) {
        finishItem(pos, e->button());
        emit board.historyChanged();
    }
}

void BoardInput::finishItem(const QPoint& devicePos, Qt::MouseButton button)
{
    GraphManager& history = *board.graphManager;
    const int type = board.tool();
    const ToolRow* row = ToolTable::row(type);
    GraphActioner* item = history.current();
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
