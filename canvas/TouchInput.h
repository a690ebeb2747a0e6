#pragma once

// Fingers on the board. One finger draws as the mouse does; a second one
// makes it a gesture instead (the stroke the first had begun is taken
// back): the two pan the board together, and pinching zooms it in the
// board's zoom steps. While a stylus is near the screen touches count for
// nothing, so the hand resting on the screen draws nothing.

#include <QPointF>

class BoardInput;
class QTouchEvent;
class Screenview;

class TouchInput
{
public:
    TouchInput(Screenview& board, BoardInput& input);

    void handle(QTouchEvent* e);
    void setStylusNear(bool near);

    // How far the fingers must spread (or close) for one zoom step.
    static constexpr double kPinchStep = 1.25;

private:
    enum class State {
        Idle,
        Drawing, // one finger, drawing
        Gesture, // two fingers, panning and zooming
        Ignored, // until every finger is lifted
    };
    void beginGesture(const QPointF& centre, double distance);
    void gesture(const QPointF& centre, double distance);

    Screenview& board;
    BoardInput& input;
    State state = State::Idle;
    bool stylusNear = false;
    QPointF startCentre;
    QPointF startOffset;
    double stepDistance = 0;
};
