// The strip's board: opening it on the strip's screen once the capture is
// back, closing it, and keeping the strip and its dialogs above it.

#include "panel/PaintControlScene.h"

#include "canvas/BoardOpenTrace.h"
#include "canvas/ScreenSnapshot.h"
#include "canvas/Screenview.h"
#include "panel/StripCatalogue.h"
#include "platform/DesktopWindows.h"
#include "platform/ScreenCapture.h"
#include "widgets/MsgBox.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

using namespace StripCatalogue;

void PaintControlScene::focusBoard()
{
    // The strip is a window of its own: after a click on it the keyboard
    // stays there, and keys meant for the board (Escape for the picker)
    // would never reach it. Giving it back at once also spares the next
    // stroke on the board the change of active window at its press.
    canvas->activateWindow();
    canvas->setFocus(Qt::OtherFocusReason);
}

QScreen* PaintControlScene::boardScreen() const
{
    QScreen* screen = nullptr;
    if (mainWindow)
        screen = QGuiApplication::screenAt(mainWindow->frameGeometry().center());
    return screen ? screen : QGuiApplication::primaryScreen();
}

void PaintControlScene::setOpenBoard()
{
    // A click while the desktop is still handing over the picture changes nothing.
    if (capturing)
        return;

    // Badges are numbered per board.
    Screenview::markNumber = 0;

    if (canvas) {
        if (mainWindow)
            mainWindow->show();
        resetChoices();
        openButton->setStyleSheet(QLatin1String(kOpenStyle));
        keepAbove(nullptr);
        canvas->close();
        canvas.reset();
        return;
    }

    // The board covers the screen the user just clicked the strip on.
    const QScreen* screen = boardScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;

    // The strip must be off the screen while the snapshot is taken, then
    // comes back above the board.
    BoardOpenTrace::clicked();
    if (mainWindow)
        mainWindow->hide();
    resetChoices();
    openButton->setStyleSheet(QLatin1String(kOffStyle));
    capturing = true;
    // The desktop may take a while (and may first ask the user).
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const QPointer<PaintControlScene> self(this);
    ScreenCapture::instance().captureArea(area, [self, area, ratio](const QPixmap& pixels, const QString& failure) {
        QGuiApplication::restoreOverrideCursor();
        if (self)
            self->captured(area, ratio, pixels, failure);
    });
}

void PaintControlScene::captured(const QRect& area, qreal ratio, const QPixmap& pixels, const QString& failure)
{
    capturing = false;
    if (pixels.isNull()) {
        // No board at all rather than a black one; the strip carries on.
        qWarning("The screen could not be captured: %s", qPrintable(failure));
        openButton->setStyleSheet(QLatin1String(kOpenStyle));
        if (mainWindow)
            mainWindow->show();
        MsgBox::information(nullptr, tr("Tips"),
                            tr("The screen could not be captured.\n%1").arg(failure), QMessageBox::Ok);
        return;
    }
    ScreenSnapshot snapshot;
    snapshot.pixels = pixels;
    snapshot.geometry = area;
    snapshot.ratio = ratio;
    canvas = std::make_unique<Screenview>(snapshot, nullptr);
    canvas->installEventFilter(this);
    connect(canvas.get(), &Screenview::commandKey, this, &PaintControlScene::runBoardCommand);
    // The board draws from the first stroke with what the strip shows checked.
    canvas->setPenWidth(kSizeOneWidth);
    canvas->setPenColor(255, 0, 0, 255);
    BoardOpenTrace::step("built");
    canvas->toggleVisible();
    BoardOpenTrace::step("shown");
    if (mainWindow) {
        mainWindow->show();
        // Mapping a window again does not restack it on every system: lift
        // it explicitly over the board, which was created after it.
        mainWindow->raise();
        keepAbove(canvas.get());
    }
}

bool PaintControlScene::eventFilter(QObject* watched, QEvent* event)
{
    // XWayland's window manager lifts the window it activates to the top of
    // the X stack, over the unmanaged strip too: the compositor still draws
    // the strip on top, but X would no longer hand it the clicks on it.
    if (canvas && watched == canvas.get() && event->type() == QEvent::WindowActivate && mainWindow
        && mainWindow->isVisible())
        platform::raiseAboveAll(mainWindow->winId());
    return QWidget::eventFilter(watched, event);
}

void PaintControlScene::belongToBoard(QWidget* dialog) const
{
    // A full-screen board hides every window that does not belong to it on
    // some desktops (sway shows only its own dialogs above it). These
    // dialogs set their own window flags without a window type, so they are
    // made dialogs of the board explicitly.
    if (canvas)
        dialog->setParent(canvas.get(), dialog->windowFlags() | Qt::Dialog);
}

void PaintControlScene::keepAbove(QWidget* board)
{
    // Window managers stack a focused, undecorated, screen-sized window (the
    // board) over even "always on top" windows; a window that belongs to the
    // board is kept above it instead.
    if (mainWindow)
        platform::keepAboveOwner(mainWindow->winId(), board ? board->winId() : 0);
}

void PaintControlScene::setNewPainter()
{
    // A fresh board is a new snapshot with no drawings: close the open board
    // (if any) so it is off the screen before the new one takes its picture.
    if (canvas)
        setOpenBoard();
    setOpenBoard();
}
