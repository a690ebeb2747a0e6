#include "canvas/Screenview.h"

#include "platform/BoardOpenTrace.h"
#include "canvas/CanvasView.h"
#include "canvas/ColorPicker.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/QTextEditer.h"
#include "canvas/ScreenSnapshot.h"
#include "platform/DesktopWindows.h"
#include "platform/ProcessMemory.h"
#include "widgets/MsgBox.h"

#include <QAction>
#include <QBackingStore>
#include <QCoreApplication>
#include <QCursor>
#include <QDebug>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <memory>

int Screenview::markNumber = 0;

namespace {

// The kinds that paint nothing from a single point.
bool needsTwoPoints(int type)
{
    switch (type) {
    case Pen:
    case Erase:
    case Line:
    case LineArrow:
    case Rect:
    case BrushRect:
    case Ellipse:
    case BrushEllipse:
        return true;
    default:
        return false;
    }
}

} // namespace

Screenview::Screenview(QWidget* parent)
    : Screenview(ScreenSnapshot::ofPrimaryScreen(), parent)
{
}

Screenview::Screenview(const ScreenSnapshot& snapshot, QWidget* parent)
    : QWidget(parent)
    , screenRect(snapshot.geometry)
    , ratio(snapshot.ratio)
{
    // An ordinary frameless top-level window: neither a tool window nor kept on top.
    setWindowFlags(Qt::FramelessWindowHint);
    setCursor(Qt::ArrowCursor);
    // The board covers every pixel it is asked to paint: no background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    graphManager = std::make_unique<GraphManager>(this, snapshot);
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
    penWidth = width;
}

void Screenview::setPenColor(int r, int g, int b, int a)
{
    penRed = r;
    penGreen = g;
    penBlue = b;
    penAlpha = a;
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
    area |= canvas->windowArea(graphManager->takeChangedArea());
    if (!area.isEmpty()) {
        update(area);
    }
}

void Screenview::leaveSpecialModes()
{
    if (zoomMode) {
        restoreZoom();
    }
    zoomMode = false;
    setAttribute(Qt::WA_MouseTracking, false);
    textEditing = false;
    closeEditor();
    hidePicker();
}

void Screenview::selectTool(int type)
{
    leaveSpecialModes();
    if (graphManager) {
        graphManager->currentTool = type;
    }
}

void Screenview::closeEditor()
{
    QTextEditer* editor = activeEditor;
    activeEditor = nullptr;
    if (editor) {
        // Hiding alone keeps the focus when nothing else on the canvas takes
        // it, and the typed text would be lost; giving the focus up ends the
        // entry, which comes back through commitText.
        editor->clearFocus();
        editor->setVisible(false);
    }
}

void Screenview::hidePicker()
{
    pickerActive = false;
    if (colorPicker) {
        colorPicker->stop();
    }
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

void Screenview::selectPen() { selectTool(Pen); }
void Screenview::selectEraser() { selectTool(Erase); }
void Screenview::selectLine() { selectTool(Line); }
void Screenview::selectArrow() { selectTool(LineArrow); }
void Screenview::selectRect(bool filled) { selectTool(filled ? BrushRect : Rect); }
void Screenview::selectEllipse(bool filled) { selectTool(filled ? BrushEllipse : Ellipse); }
void Screenview::selectMarkPen() { selectTool(MarkingPen); }
void Screenview::selectText() { selectTool(Text); }
void Screenview::selectRightSymbol() { selectTool(RightSymbols); }
void Screenview::selectWrongSymbol() { selectTool(WrongSymbols); }

void Screenview::selectArea()
{
    leaveSpecialModes();
    setAttribute(Qt::WA_MouseTracking, true);
    if (graphManager) {
        graphManager->currentTool = SelectArea;
    }
}

void Screenview::selectColorPicker()
{
    leaveSpecialModes();
    setAttribute(Qt::WA_MouseTracking, true);
    pickerActive = true;
    if (colorPicker) {
        colorPicker->start();
    }
    if (graphManager) {
        graphManager->currentTool = Picker;
    }
}

void Screenview::enterZoomMode()
{
    textEditing = false;
    closeEditor();
    zoomMode = true;
    setAttribute(Qt::WA_MouseTracking, false);
    hidePicker();
}

void Screenview::zoomIn()
{
    enterZoomMode();
    if (graphManager) {
        graphManager->zoomIn();
    }
}

void Screenview::zoomOut()
{
    enterZoomMode();
    if (graphManager) {
        graphManager->zoomOut();
    }
}

void Screenview::restoreZoom()
{
    textEditing = false;
    closeEditor();
    zoomMode = false;
    hidePicker();
    if (graphManager) {
        graphManager->resetZoom();
    }
}

void Screenview::undo()
{
    if (zoomMode) {
        restoreZoom();
    }
    zoomMode = false;
    if (graphManager) {
        graphManager->undo();
    }
    hidePicker();
    updateChanged();
}

void Screenview::redo()
{
    if (zoomMode) {
        restoreZoom();
    }
    zoomMode = false;
    if (graphManager) {
        graphManager->redo();
    }
    hidePicker();
    updateChanged();
}

void Screenview::print()
{
    leaveSpecialModes();
    if (graphManager) {
        graphManager->print();
    }
}

void Screenview::copyAll()
{
    if (graphManager) {
        graphManager->copyAll();
    }
}

void Screenview::saveAs()
{
    if (graphManager) {
        graphManager->saveAll();
    }
}

void Screenview::clearBoard()
{
    // Text being typed is part of what is cleared: committed first, so one
    // undo brings it back with the rest.
    if (activeEditor) {
        commitText(activeEditor->text());
    }
    if (graphManager) {
        graphManager->clear();
    }
    updateChanged();
}

void Screenview::requestExit()
{
    // Belonging to the board keeps the question above it and on its screen.
    const int answer = MsgBox::question(this, tr("Tips"), tr("Whether it is necessary to exit the software?"),
                                        QMessageBox::Yes | QMessageBox::No, 0);
    if (answer != QMessageBox::Yes) {
        return;
    }
    graphManager.reset();
    QCoreApplication::quit();
}

void Screenview::commitText(const QString& text)
{
    textEditing = false;
    closeEditor();
    if (!graphManager) {
        return;
    }
    if (text.isEmpty()) {
        // Nothing was typed: the text item would only make undo look broken.
        graphManager->discardCurrent(Text);
        return;
    }
    graphManager->setText(text);
    updateChanged();
}

void Screenview::openContextMenu(const QPoint& devicePos)
{
    QMenu* menu = mainContextMenu();
    if (tool() == SelectArea) {
        if (graphManager && graphManager->selectionContains(devicePos)) {
            qDebug() << "isSelectArce in arce!";
            menu = selectionContextMenu();
        } else {
            qDebug() << "not in arce!";
        }
    }
    menu->exec(QCursor::pos());
    // The popup swallowed the release, so the button is no longer held.
    mouseDown = false;
}

void Screenview::mousePressEvent(QMouseEvent* e)
{
    mouseDown = true;
    const QPoint pos = toDevice(e->pos());
    if (e->button() == Qt::RightButton && !(windowState() & Qt::WindowMaximized)) {
        // The selection is looked up where the pointer is on the board,
        // whatever the zoom and pan.
        openContextMenu(graphManager ? graphManager->canvas()->boardPoint(e->pos()) : pos);
        return;
    }
    if (zoomMode) {
        // A press that pans owns its moves and release: none of them draws.
        panning = true;
        lastPos = pos;
        return;
    }
    // The picker draws nothing, shown or not.
    if (tool() == Picker) {
        return;
    }
    beginItem(pos, e->pos(), e->button());
}

void Screenview::beginItem(const QPoint& devicePos, const QPoint& logicalPos, Qt::MouseButton button)
{
    if (!graphManager) {
        return;
    }
    if (tool() == Text && textEditing && activeEditor) {
        // Another click while typing moves the entry; it begins no new item.
        activeEditor->placeBaselineAt(logicalPos);
        GraphActioner* current = graphManager->current();
        if (current && current->type == Text) {
            current->points.clear();
            graphManager->addPoint(devicePos.x(), devicePos.y());
        }
        return;
    }
    itemBegun = true;
    GraphActioner* item = graphManager->beginAction(-1);
    item->setProperty(QStringLiteral("size"), penWidth);
    item->setProperty(QStringLiteral("r"), penRed);
    item->setProperty(QStringLiteral("g"), penGreen);
    item->setProperty(QStringLiteral("b"), penBlue);
    item->setProperty(QStringLiteral("a"), penAlpha);

    const int type = tool();
    if (type == MarkingPen) {
        item->setProperty(QStringLiteral("number"), markNumber++);
    } else if (type == Text) {
        if (textEditing) {
            if (activeEditor) {
                activeEditor->placeBaselineAt(logicalPos);
            }
        } else {
            openEditorAt(logicalPos);
            textEditing = true;
        }
    } else if (type == SelectArea) {
        if (button == Qt::LeftButton) {
            item->setProperty(QStringLiteral("selectedComplete"), 0);
            item->setProperty(QStringLiteral("selectedCompleteX"), 0);
            item->setProperty(QStringLiteral("selectedCompleteY"), 0);
            lastPos = devicePos;
            selectionLocked = false;
        } else {
            selectionLocked = true;
            qDebug() << "";
        }
    }
    // A locked selection only holds back the select tool; other tools draw as usual.
    if (!(type == SelectArea && selectionLocked)) {
        graphManager->addPoint(devicePos.x(), devicePos.y());
    }
}

void Screenview::openEditorAt(const QPoint& logicalPos)
{
    auto* editor = new QTextEditer(this);
    activeEditor = editor;
    for (QTextEditer* other : qAsConst(textEditors)) {
        other->clearFocus();
    }
    qDebug() << editor << "edit=x==" << logicalPos.x() << "y==" << logicalPos.y();
    // The committed text is painted with its baseline on the press point,
    // so the editor's own baseline goes there too and the text stays put.
    editor->placeBaselineAt(logicalPos);
    editor->setVisible(true);
    editor->setFocus(Qt::OtherFocusReason);
    textEditors.append(editor);
    update();
}

void Screenview::mouseMoveEvent(QMouseEvent* e)
{
    if (pickerActive) {
        movePicker(e->globalPos());
        return;
    }
    if (!mouseDown) {
        return;
    }
    const QPoint pos = toDevice(e->pos());
    if (panning || zoomMode) {
        if (!zoomMode) {
            // Zoom ended while the button was held: the drag still only pans.
            return;
        }
        panTotal += pos - lastPos;
        if (graphManager) {
            // The pan is drawn in window (logical) pixels: converted back so
            // that the board follows the pointer at any device pixel ratio.
            const QPoint offset = toLogical(panTotal);
            graphManager->setOffset(offset.x(), offset.y());
        }
        lastPos = pos;
        update();
    } else {
        continueItem(pos);
        updateChanged();
    }
}

void Screenview::continueItem(const QPoint& devicePos)
{
    if (tool() == SelectArea) {
        if (selectionLocked) {
            return;
        }
        lastPos = devicePos;
    }
    if (graphManager) {
        graphManager->addPoint(devicePos.x(), devicePos.y());
    }
}

void Screenview::mouseReleaseEvent(QMouseEvent* e)
{
    mouseDown = false;
    const QPoint pos = toDevice(e->pos());
    if (panning) {
        panning = false;
        lastPos = pos;
        return;
    }
    const int type = tool();
    const bool begun = itemBegun;
    itemBegun = false;
    if (begun && needsTwoPoints(type) && graphManager && graphManager->current()
        && graphManager->current()->points.size() < 2) {
        // A click without a drag draws nothing with these tools.
        graphManager->discardCurrent(type);
        return;
    }
    if (type == SelectArea) {
        finishSelection(pos, e->button());
    }
    if (zoomMode) {
        lastPos = pos;
    }
    if (type == MarkingPen || type == RightSymbols || type == WrongSymbols || type == Picker) {
        updateChanged();
    }
}

void Screenview::finishSelection(const QPoint& devicePos, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        qDebug() << "";
        selectionLocked = true;
    }
    lastPos = devicePos;
    if (graphManager) {
        graphManager->addPoint(devicePos.x(), devicePos.y());
        GraphActioner* item = graphManager->current();
        item->setProperty(QStringLiteral("selectedComplete"), 1);
        item->setProperty(QStringLiteral("selectedCompleteX"), devicePos.x());
        item->setProperty(QStringLiteral("selectedCompleteY"), devicePos.y());
    }
    updateChanged();
    qDebug() << lastPos;
}

void Screenview::wheelEvent(QWheelEvent* e)
{
    if (!(mouseDown && zoomMode)) {
        e->ignore();
        return;
    }
    if (e->angleDelta().y() > 0) {
        zoomIn();
    } else {
        zoomOut();
    }
    update();
}

void Screenview::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && pickerActive) {
        hidePicker();
        selectPen();
    }
    QWidget::keyPressEvent(e);
}

void Screenview::paintEvent(QPaintEvent* e)
{
    if (!graphManager) {
        return;
    }
    std::unique_ptr<PageTaker> lowerHalf;
    if (!canvasOwned) {
        // The first picture writes a whole screen of fresh memory, and each
        // new page of it costs a fault: a helper takes the lower half's pages
        // while this thread draws the upper half.
        QBackingStore* store = backingStore();
        QPaintDevice* device = store ? store->paintDevice() : nullptr;
        if (device && device->devType() == QInternal::Image) {
            const auto* image = static_cast<const QImage*>(device);
            const size_t bytes = static_cast<size_t>(image->sizeInBytes());
            auto* bits = const_cast<uchar*>(image->constBits());
            lowerHalf = std::make_unique<PageTaker>(bits + bytes / 2, bytes - bytes / 2);
        }
    }
    QPainter painter(this);
    graphManager->canvas()->paint(&painter, e->rect());
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
