// The strip's board: opening it on the strip's screen once the capture is
// back, closing it, and keeping the strip and its dialogs above it.

#include "panel/PaintControlScene.h"

#include "canvas/BoardFile.h"
#include "canvas/BoardJournal.h"
#include "canvas/BoardState.h"
#include "canvas/CanvasView.h"
#include "canvas/GraphManager.h"
#include "canvas/ScreenSnapshot.h"
#include "canvas/Screenview.h"
#include "panel/StripCatalogue.h"
#include "settings/ConfigStore.h"
#include "platform/BoardOpenTrace.h"
#include "platform/DesktopWindows.h"
#include "platform/ScreenCapture.h"
#include "widgets/MsgBox.h"

#include <QDate>
#include <QDateTime>
#include <QEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

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
        closeBoard();
        return;
    }

    // The board covers the screen the user just clicked the strip on.
    const QScreen* screen = boardScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;

    // The strip must be off the screen while the snapshot is taken, then
    // comes back above the board.
    BoardOpenTrace::clicked();
    stripBefore.take(mainWindow);
    retakes = 0;
    if (mainWindow)
        mainWindow->hide();
    resetChoices();
    openButton->setStyleSheet(QLatin1String(kOffStyle));
    capturing = true;
    takePicture(area, ratio);
}

void PaintControlScene::takePicture(const QRect& area, qreal ratio)
{
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
    // A desktop that had not yet drawn its screen without the strip: the
    // picture again, now that it has had longer (twice at most).
    if (!pixels.isNull() && retakes < 2 && stripBefore.shownIn(pixels, area, ratio)) {
        ++retakes;
        qDebug("The screen's picture still shows the strip; taking it again");
        BoardOpenTrace::step("retaken");
        takePicture(area, ratio);
        return;
    }
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
    showBoard(std::make_unique<Screenview>(snapshot, nullptr), nullptr);
}

void PaintControlScene::showBoard(std::unique_ptr<Screenview> board, const BoardState* restored)
{
    canvas = std::move(board);
    canvas->installEventFilter(this);
    connect(canvas.get(), &Screenview::commandKey, this, &PaintControlScene::runBoardCommand);
    connect(canvas.get(), &Screenview::historyChanged, this, [this] {
        if (canvas && journal)
            journal->record(*canvas->manager());
    });
    // The board draws from the first stroke with what the strip shows checked.
    canvas->setPenWidth(kSizeOneWidth);
    canvas->setPenColor(255, 0, 0, 255);
    canvas->setPressureWidth(ConfigStore::instance()->getInt(QStringLiteral("StylusPressure")) != 0);
    if (restored) {
        canvas->manager()->restore(*restored);
        Screenview::markNumber = restored->nextBadge;
        canvas->chooseTool(restored->tool);
        if (toolButtons.count(restored->tool))
            toolButtons[restored->tool]->setChecked(true);
    }
    startJournal();
    BoardOpenTrace::step("built");
    canvas->toggleVisible();
    BoardOpenTrace::step("shown");
    openButton->setStyleSheet(QLatin1String(kOffStyle));
    if (mainWindow) {
        mainWindow->show();
        // Mapping a window again does not restack it on every system: lift
        // it explicitly over the board, which was created after it.
        mainWindow->raise();
        keepAbove(canvas.get());
    }
}

void PaintControlScene::startJournal()
{
    if (!journal)
        journal = std::make_unique<BoardJournal>();
    ScreenSnapshot where;
    where.geometry = canvas->boardGeometry();
    where.ratio = canvas->boardRatio();
    journal->begin(where, canvas->manager()->snapshot(), *canvas->manager());
}

void PaintControlScene::closeBoard()
{
    if (!canvas)
        return;
    if (mainWindow)
        mainWindow->show();
    resetChoices();
    openButton->setStyleSheet(QLatin1String(kOpenStyle));
    keepAbove(nullptr);
    // Kept, hidden, until the program ends: "Reopen last board" brings it
    // back as it was. Its journal stays too, so a crash loses nothing.
    canvas->removeEventFilter(this);
    if (canvas->isVisible())
        canvas->toggleVisible();
    canvas->disconnect(this);
    lastBadge = Screenview::markNumber;
    lastBoard = std::move(canvas);
    Screenview::markNumber = 0;
}

void PaintControlScene::reopenLastBoard()
{
    if (capturing || !lastBoard)
        return;
    std::unique_ptr<Screenview> board = std::move(lastBoard);
    const int badge = lastBadge;
    closeBoard();
    resetChoices();
    showBoard(std::move(board), nullptr);
    Screenview::markNumber = badge;
}

bool PaintControlScene::openBoardFile(const QString& path)
{
    if (capturing)
        return false;
    BoardFile::Contents contents;
    QString problem;
    if (!BoardFile::read(path, &contents, &problem)) {
        MsgBox::information(canvas.get(), tr("Tips"),
                            tr("The board %1 could not be opened.\n%2").arg(QDir::toNativeSeparators(path), problem),
                            QMessageBox::Ok);
        return false;
    }
    if (canvas)
        closeBoard();
    const QScreen* screen = boardScreen();
    ScreenSnapshot snapshot;
    snapshot.geometry = screen ? screen->geometry() : QRect(QPoint(0, 0), contents.snapshot.size());
    snapshot.ratio = screen ? screen->devicePixelRatio() : 1.0;
    const QSize made = contents.snapshot.size();
    const bool fitted = BoardFile::fitTo(&contents, snapshot.geometry.size() * snapshot.ratio);
    snapshot.pixels = QPixmap::fromImage(contents.snapshot);
    resetChoices();
    showBoard(std::make_unique<Screenview>(snapshot, nullptr), &contents.state);
    if (fitted) {
        MsgBox::information(canvas.get(), tr("Tips"),
                            tr("The board was made on a screen of %1 x %2 pixels: it is shown scaled to fit this one.")
                                .arg(made.width())
                                .arg(made.height()),
                            QMessageBox::Ok);
    }
    return true;
}

void PaintControlScene::chooseBoardFile()
{
    const QString path = QFileDialog::getOpenFileName(canvas.get(), tr("Open board"), QString(),
                                                      tr("Scribbloom board (*.sbboard)"));
    if (!path.isEmpty())
        openBoardFile(path);
}

void PaintControlScene::endJournal()
{
    if (journal) {
        journal->discard();
        journal.reset();
    }
}

bool PaintControlScene::offerRestore()
{
    const QString path = BoardJournal::defaultPath();
    if (!QFileInfo::exists(path))
        return false;
    BoardJournal::Contents contents;
    QString problem;
    if (!BoardJournal::read(path, &contents, &problem)) {
        qWarning("The board left by the last run cannot be restored: %s", qPrintable(problem));
        QFile::remove(path);
        return false;
    }
    const QDateTime started = contents.started.isValid() ? contents.started : QFileInfo(path).lastModified();
    const QString when = started.date() == QDate::currentDate() ? started.toString(QStringLiteral("hh:mm"))
                                                                 : started.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const int answer = MsgBox::question(nullptr, tr("Tips"), tr("Restore the board from %1?").arg(when),
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        QFile::remove(path);
        return false;
    }
    // Back on the screen it was drawn on when that is still there.
    ScreenSnapshot snapshot = contents.snapshot;
    if (!QGuiApplication::screenAt(snapshot.geometry.center())) {
        const QScreen* screen = boardScreen();
        snapshot.geometry.moveTopLeft(screen ? screen->geometry().topLeft() : QPoint());
    }
    resetChoices();
    showBoard(std::make_unique<Screenview>(snapshot, nullptr), &contents.state);
    return true;
}

bool PaintControlScene::eventFilter(QObject* watched, QEvent* event)
{
    // A close from the window manager (Alt+F4) does what the strip's switch
    // does, once the board's own event handling is over.
    if (canvas && watched == canvas.get() && event->type() == QEvent::Close) {
        event->ignore();
        QTimer::singleShot(0, this, [this] {
            if (canvas)
                setOpenBoard();
        });
        return true;
    }
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
    if (capturing)
        return;
    // A blank white board on the strip's screen, with no snapshot taken:
    // the open board (if any) is closed first, and kept to reopen.
    if (canvas)
        closeBoard();
    Screenview::markNumber = 0;
    const QScreen* screen = boardScreen();
    ScreenSnapshot blank;
    blank.geometry = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    blank.ratio = screen ? screen->devicePixelRatio() : 1.0;
    QPixmap white(blank.geometry.size() * blank.ratio);
    white.fill(Qt::white);
    blank.pixels = white;
    resetChoices();
    showBoard(std::make_unique<Screenview>(blank, nullptr), nullptr);
}
