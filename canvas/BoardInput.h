#pragma once

// The board's one input mode and what the pointer does in it. The board is
// in exactly one mode at a time, changed only through setMode, which puts
// away what the mode left behind (the zoom, the picker, the text entry).
// A press owns its moves and release: one that began no item (a pan, a
// press with the picker, a click that moves the text entry) changes no
// drawing with them.

#include <QPoint>
#include <QtGui/qtguiglobal.h>

class GraphActioner;
class QMouseEvent;
class QTabletEvent;
class QWheelEvent;
class Screenview;

// A press, move or release of a mouse, a stylus or a finger.
struct BoardPointer {
    QPoint pos;       // window (logical) pixels
    QPoint globalPos; // desktop pixels
    Qt::MouseButton button = Qt::LeftButton;
    // A stylus's pressure (0 to 1); negative for a mouse or a finger.
    double pressure = -1;
    // The stylus's eraser end: it erases whatever tool is chosen.
    bool eraser = false;

    static BoardPointer of(const QMouseEvent& e);
#if QT_CONFIG(tabletevent)
    static BoardPointer of(const QTabletEvent& e);
#endif
};

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

    void press(const BoardPointer& e);
    void move(const BoardPointer& e);
    void release(const BoardPointer& e);
    // Takes back the stroke a press began, as if it had never been: a
    // finger's stroke once a second finger makes it a pinch.
    void cancel();
    // The stroke the held button is drawing; null for none.
    const GraphActioner* stroke() const;
    // Whether a stylus's pressure sets its strokes' width.
    void setPressureWidth(bool on) { pressureWidth = on; }
    // False when the wheel means nothing here.
    bool wheel(QWheelEvent* e);

private:
    enum class Press {
        None,    // no button held
        Item,    // the press began the current item: moves add to it
        Pan,     // the press pans the zoomed board
        Laser,   // the press shows the laser pointer
        Nothing, // the press began nothing: its moves and release change nothing
    };

    void beginItem(const QPoint& devicePos, const BoardPointer& e);
    void continueItem(const QPoint& devicePos, double pressure);
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
    bool pressureWidth = true;
};
