// The board window: placement on its screen, the tools and the pen, and
// thin event handlers that hand input on (its commands are in
// ScreenviewCommands.cpp).

#include "canvas/Screenview.h"

#include "canvas/BoardInput.h"
#include "platform/BoardOpenTrace.h"
#include "canvas/CanvasView.h"
#include "canvas/ColorPicker.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/ItemFactory.h"
#include "canvas/LaserPointer.h"
#include "canvas/TouchInput.h"
#include "canvas/QTextEditer.h"
#include "canvas/ScreenSnapshot.h"
#include "canvas/TextEntry.h"
#include "platform/DesktopWindows.h"
#include "platform/ProcessMemory.h"

#include <QAction>
#include <QBackingStore>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTabletEvent>
#include <QTimer>
#include <QTouchEvent>
#include <QWheelEvent>
#include <QWindow>

#include <memory>

int& Screenview::markNumber = ItemFactory::nextBadge;

using Mode = BoardInput::Mode;

Screenview::Screenview(QWidget* parent)
    : Screenview(ScreenSnapshot::ofPrimaryScreen(), parent)
{
}

Screenview::Screenview(const ScreenSnapshot& snapshot, QWidget* parent)
    : QWidget(parent)
    , itemFactory(std::make_unique<ItemFactory>())
    , textEntry(std::make_unique<TextEntry>(*this))
    , input(std::make_unique<BoardInput>(*this))
    , screenRect(snapshot.geometry)
    , ratio(snapshot.ratio)
{
    // An ordinary frameless top-level window: neither a tool window nor kept on top.
    setWindowFlags(Qt::FramelessWindowHint);
    setCursor(Qt::ArrowCursor);
    // The board covers every pixel it is asked to paint: no background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    graphManager = std::make_unique<GraphManager>(this, snapshot);
    laser = new LaserPointer(*this);
    touch = std::make_unique<TouchInput>(*this, *input);
    setAttribute(Qt::WA_AcceptTouchEvents);
    // A stylus near the screen is told to the application, not the window.
    qApp->installEventFilter(this);
    colorPicker = new ColorPicker(this);
    colorPicker->stop();
    // Exactly over its screen, wherever that lies on the desktop, and drawn
    // at that screen's ratio.
    if (QScreen* screen = QGuiApplication::screenAt(screenRect.center())) {
        create();
        windowHandle()->setScreen(screen);
    }
    move(screenRect.topLeft());
    const CanvasView* canvas = graphManager->canvas();
    setFixedSize(static_cast<int>(canvas->screenWidth), static_cast<int>(canvas->screenHeight));
    if (platform::fullScreenBoard()) {
        setWindowState(windowState() | Qt::WindowFullScreen);
    }
}

Screenview::~Screenview() = default;

QPoint Screenview::toDevice(const QPoint& logical) const
{
    return QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio));
}

QPoint Screenview::toLogical(const QPoint& device) const
{
    return QPoint(qRound(device.x() / ratio), qRound(device.y() / ratio));
}

int Screenview::tool() const
{
    return graphManager ? graphManager->currentTool : Pen;
}

int Screenview::currentPenWidth() const { return itemFactory->width(); }
bool Screenview::isZoomMode() const { return input->mode() == Mode::Pan; }
bool Screenview::isPickerActive() const { return input->mode() == Mode::Pick; }
bool Screenview::isTextEditing() const { return input->mode() == Mode::Type; }
QTextEditer* Screenview::openEditor() const { return textEntry->open(); }
const QList<QTextEditer*>& Screenview::editors() const { return textEntry->editors(); }

void Screenview::onMenuTrigged(QAction* action)
{
    const auto handler = actionHandlers.find(action);
    if (handler != actionHandlers.end() && handler->second) {
        handler->second();
    }
}

void Screenview::toggleVisible()
{
    shown = !shown;
    setVisible(shown);
}

void Screenview::setPenWidth(int width)
{
    itemFactory->setPenWidth(width);
}

void Screenview::setPenColor(int r, int g, int b, int a)
{
    itemFactory->setPenColor(r, g, b, a);
}

void Screenview::updateChanged()
{
    if (!graphManager) {
        return;
    }
    // Redrawing the whole window for every pointer move is what makes
    // drawing lag on large screens; the change is usually a few pixels.
    CanvasView* canvas = graphManager->canvas();
    QRegion area = canvas->showMarquee(graphManager->visibleSelection());
    area |= canvas->showTail(input->stroke());
    area |= canvas->windowArea(graphManager->takeChangedArea());
    if (!area.isEmpty()) {
        update(area);
    }
}

void Screenview::chooseTool(int type)
{
    if (graphManager) {
        graphManager->currentTool = type;
    }
    input->setMode(type == Picker ? Mode::Pick : Mode::Draw);
}

void Screenview::movePicker(const QPoint& globalPos)
{
    // The picker is a child widget, placed in logical pixels like every
    // widget: a device-pixel position would put it beside the pointer
    // whenever the screen is scaled.
    if (colorPicker) {
        colorPicker->follow(mapFromGlobal(globalPos));
    }
}

void Screenview::selectPen() { chooseTool(Pen); }
void Screenview::selectEraser() { chooseTool(Erase); }
void Screenview::selectLine() { chooseTool(Line); }
void Screenview::selectArrow() { chooseTool(LineArrow); }
void Screenview::selectRect(bool filled) { chooseTool(filled ? BrushRect : Rect); }
void Screenview::selectEllipse(bool filled) { chooseTool(filled ? BrushEllipse : Ellipse); }
void Screenview::selectMarkPen() { chooseTool(MarkingPen); }
void Screenview::selectText() { chooseTool(Text); }
void Screenview::selectRightSymbol() { chooseTool(RightSymbols); }
void Screenview::selectWrongSymbol() { chooseTool(WrongSymbols); }
void Screenview::selectArea() { chooseTool(SelectArea); }
void Screenview::selectColorPicker() { chooseTool(Picker); }
void Screenview::selectHighlighter() { chooseTool(Highlighter); }
void Screenview::selectLaser() { chooseTool(Laser); }
void Screenview::setPressureWidth(bool on) { input->setPressureWidth(on); }

void Screenview::mousePressEvent(QMouseEvent* e)
{
    // A finger's touch is handled as a touch, not again as the mouse
    // the system makes of it.
    if (e->source() == Qt::MouseEventSynthesizedBySystem) {
        return;
    }
    input->press(BoardPointer::of(*e));
}

void Screenview::mouseMoveEvent(QMouseEvent* e)
{
    if (e->source() == Qt::MouseEventSynthesizedBySystem) {
        return;
    }
    input->move(BoardPointer::of(*e));
}

void Screenview::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->source() == Qt::MouseEventSynthesizedBySystem) {
        return;
    }
    input->release(BoardPointer::of(*e));
}

#if QT_CONFIG(tabletevent)
void Screenview::tabletEvent(QTabletEvent* e)
{
    // Taken here with its pressure, so no mouse event is made of it.
    e->accept();
    switch (e->type()) {
    case QEvent::TabletPress:
        input->press(BoardPointer::of(*e));
        break;
    case QEvent::TabletMove:
        if (e->buttons() != Qt::NoButton || input->mode() == Mode::Pick) {
            input->move(BoardPointer::of(*e));
        }
        break;
    case QEvent::TabletRelease:
        input->release(BoardPointer::of(*e));
        break;
    default:
        break;
    }
}

#endif

bool Screenview::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        touch->handle(static_cast<QTouchEvent*>(e));
        return true;
    default:
        return QWidget::event(e);
    }
}

bool Screenview::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::TabletEnterProximity) {
        touch->setStylusNear(true);
    } else if (e->type() == QEvent::TabletLeaveProximity) {
        touch->setStylusNear(false);
    }
    return QWidget::eventFilter(watched, e);
}

void Screenview::wheelEvent(QWheelEvent* e)
{
    if (!input->wheel(e)) {
        e->ignore();
    }
}

void Screenview::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && input->mode() == Mode::Pick) {
        selectPen();
    }
    // Keys typed into a text entry are its text, never commands.
    const bool typing = input->mode() == Mode::Type || (textEntry->open() && textEntry->open()->hasFocus());
    const BoardCommand command = typing ? BoardCommand::None : BoardKeys::commandFor(*e);
    if (command != BoardCommand::None) {
        e->accept();
        emit commandKey(command);
        return;
    }
    QWidget::keyPressEvent(e);
}

void Screenview::paintEvent(QPaintEvent* e)
{
    if (!graphManager) {
        return;
    }
    // The first picture writes a whole screen of fresh memory: a helper
    // takes the lower half's pages while this thread draws the upper half.
    std::unique_ptr<PageTaker> lowerHalf;
    if (!canvasOwned) {
        lowerHalf = PageTaker::lowerHalfOf(backingStore() ? backingStore()->paintDevice() : nullptr);
    }
    QPainter painter(this);
    graphManager->canvas()->paint(&painter, e->rect());
    laser->paint(painter);
    painter.end();
    lowerHalf.reset();
    BoardOpenTrace::painted();
    if (!canvasOwned) {
        // The board is on the screen: the canvas takes its own copy of the
        // snapshot now, before the user can start drawing.
        canvasOwned = true;
        QTimer::singleShot(0, this, [this] {
            if (graphManager) {
                graphManager->canvas()->ownCanvas();
            }
            // Not on the way to the first picture, but ready before a
            // right-click is likely.
            mainContextMenu();
        });
    }
}
