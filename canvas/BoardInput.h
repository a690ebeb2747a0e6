#pragma once

// The board's one input mode and what the pointer does in it. The board is
// in exactly one mode at a time, changed only through setMode, which puts
// away what the mode left behind (the zoom, the picker, the text entry).
// A press owns its moves and release: one that began no item (a pan, a
// press with the picker, a click that moves the text entry) changes no
// drawing with them.

#include <QPoint>

class QMouseEvent;
class QWheelEvent;
class Screenview;

class BoardInput
{
public:
    enum class Mode {
        Draw,   // presses draw with the current tool
        Pan,    // zoomed: drags move the board
        Pick,   // the colour picker follows the pointer; presses draw nothing
        Type,   // a text entry has the keyboard
        Select, // a selection is being dragged
    };

    explicit BoardInput(Screenview& board);

    Mode mode() const { return current; }
    void setMode(Mode next);
    // Whether the board wants moves without a button held (the picker, the select tool).
    void updateTracking();

    void press(QMouseEvent* e);
    void move(QMouseEvent* e);
    void release(QMouseEvent* e);
    // False when the wheel means nothing here.
    bool wheel(QWheelEvent* e);

private:
    enum class Press {
        None,    // no button held
        Item,    // the press began the current item: moves add to it
        Pan,     // the press pans the zoomed board
        Nothing, // the press began nothing: its moves and release change nothing
    };

    void beginItem(const QPoint& devicePos, const QPoint& logicalPos, Qt::MouseButton button);
    void continueItem(const QPoint& devicePos);
    void finishItem(const QPoint& devicePos, Qt::MouseButton button);
    void finishSelection(const QPoint& devicePos, Qt::MouseButton button);
    void pan(const QPoint& devicePos);

    Screenview& board;
    Mode current = Mode::Draw;
    Press held = Press::None;
    QPoint lastPos;
    QPoint panTotal;
    // A right press locks the selection: it holds back only the select tool.
    bool selectionLocked = false;
};
