// Drawing with one finger, panning and pinch-zooming with two.

#include "canvas/TouchInput.h"

#include "canvas/BoardInput.h"
#include "canvas/CanvasView.h"
#include "canvas/GraphManager.h"
#include "canvas/Screenview.h"

#include <QLineF>
#include <QTouchEvent>

#include <vector>

namespace {

std::vector<QTouchEvent::TouchPoint> down(const QTouchEvent& e)
{
    std::vector<QTouchEvent::TouchPoint> points;
    for (const QTouchEvent::TouchPoint& point : e.touchPoints()) {
        if (point.state() != Qt::TouchPointReleased) {
            points.push_back(point);
        }
    }
    return points;
}

BoardPointer fingerAt(const QTouchEvent::TouchPoint& point)
{
    BoardPointer pointer;
    pointer.pos = point.pos().toPoint();
    pointer.globalPos = point.screenPos().toPoint();
    pointer.button = Qt::LeftButton;
    return pointer;
}

} // namespace

TouchInput::TouchInput(Screenview& board, BoardInput& input)
    : board(board)
    , input(input)
{
}

void TouchInput::setStylusNear(bool near)
{
    stylusNear = near;
    if (near && state != State::Idle) {
        if (state == State::Drawing) {
            input.cancel();
        }
        state = State::Ignored;
    }
}

void TouchInput::handle(QTouchEvent* e)
{
    e->accept();
    const std::vector<QTouchEvent::TouchPoint> fingers = down(*e);
    const bool ended = e->type() == QEvent::TouchEnd || e->type() == QEvent::TouchCancel || fingers.empty();
    if (ended) {
        if (state == State::Drawing) {
            if (e->type() == QEvent::TouchCancel || e->touchPoints().isEmpty()) {
                input.cancel();
            } else {
                input.release(fingerAt(e->touchPoints().first()));
            }
        }
        state = State::Idle;
        return;
    }
    if (stylusNear || state == State::Ignored) {
        state = State::Ignored;
        return;
    }
    if (fingers.size() >= 2) {
        const QPointF a = fingers[0].pos();
        const QPointF b = fingers[1].pos();
        const QPointF centre = (a + b) / 2.0;
        const double distance = QLineF(a, b).length();
        if (state != State::Gesture) {
            if (state == State::Drawing) {
                input.cancel();
            }
            beginGesture(centre, distance);
            state = State::Gesture;
        } else {
            gesture(centre, distance);
        }
        return;
    }
    // One finger: it draws, unless it is what is left of a gesture.
    switch (state) {
    case State::Idle:
        state = State::Drawing;
        input.press(fingerAt(fingers.front()));
        break;
    case State::Drawing:
        input.move(fingerAt(fingers.front()));
        break;
    case State::Gesture:
    case State::Ignored:
        break;
    }
}

void TouchInput::beginGesture(const QPointF& centre, double distance)
{
    startCentre = centre;
    stepDistance = distance;
    const CanvasView* canvas = board.manager() ? board.manager()->canvas() : nullptr;
    startOffset = canvas ? QPointF(canvas->offsetX, canvas->offsetY) : QPointF();
}

void TouchInput::gesture(const QPointF& centre, double distance)
{
    GraphManager* history = board.manager();
    if (!history) {
        return;
    }
    if (stepDistance > 0 && distance > 0) {
        while (distance >= stepDistance * kPinchStep) {
            board.zoomIn();
            stepDistance *= kPinchStep;
        }
        while (distance <= stepDistance / kPinchStep) {
            board.zoomOut();
            stepDistance /= kPinchStep;
        }
    }
    const QPointF offset = startOffset + (centre - startCentre);
    history->setOffset(qRound(offset.x()), qRound(offset.y()));
    board.update();
}
