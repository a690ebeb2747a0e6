#include "panel/PaintControlScene.h"

#include "canvas/ScreenSnapshot.h"
#include "settings/HelpPage.h"
#include "platform/BoardOpenTrace.h"
#include "canvas/Screenview.h"
#include "platform/DesktopWindows.h"
#include "platform/ScreenCapture.h"
#include "widgets/MsgBox.h"
#include "widgets/PenSizeWindow.h"
#include "widgets/QColorRadio.h"
#include "widgets/SettingWindow.h"
#include "panel/IMainWindow.h"

#include <QButtonGroup>
#include <QColor>
#include <QColorDialog>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// The width of "size 1", the size a new board starts with.
constexpr int kSizeOneWidth = 2;

using Slot = void (PaintControlScene::*)();

struct ToolEntry {
    const char* tip;
    const char* name;
    int id;
    Slot slot;
};

// Strip order, two per row; the ids are the group ids of the buttons.
const ToolEntry kTools[] = {
    {QT_TRANSLATE_NOOP("PaintControlScene", "pen"), "pen_radio_btn", 0, &PaintControlScene::setPen},
    {QT_TRANSLATE_NOOP("PaintControlScene", "line"), "line_radio_btn", 1, &PaintControlScene::setLine},
    {QT_TRANSLATE_NOOP("PaintControlScene", "eraser"), "eraser_radio_btn", 2, &PaintControlScene::setEarser},
    {QT_TRANSLATE_NOOP("PaintControlScene", "rectangle"), "rectangle_radio_btn", 3,
     &PaintControlScene::setNullRectBrush},
    {QT_TRANSLATE_NOOP("PaintControlScene", "filled rectangle"), "filledrectangle_radio_btn", 4,
     &PaintControlScene::setRectBrush},
    {QT_TRANSLATE_NOOP("PaintControlScene", "ellipse"), "ellipse_radio_btn", 5,
     &PaintControlScene::setNullEllipseBrush},
    {QT_TRANSLATE_NOOP("PaintControlScene", "solid ellipse"), "solidellipse_radio_btn", 6,
     &PaintControlScene::setEllipseBrush},
    {QT_TRANSLATE_NOOP("PaintControlScene", "arrow"), "arrow_radio_btn", 7, &PaintControlScene::setArrow},
    {QT_TRANSLATE_NOOP("PaintControlScene", "marker pen"), "markerpen_radio_btn", 8,
     &PaintControlScene::setMarkpen},
    {QT_TRANSLATE_NOOP("PaintControlScene", "insert text"), "inserttext_radio_btn", 9,
     &PaintControlScene::setTextInput},
    {QT_TRANSLATE_NOOP("PaintControlScene", "right mark"), "rightmark_radio_btn", 12,
     &PaintControlScene::setRightSymbolImage},
    {QT_TRANSLATE_NOOP("PaintControlScene", "wrong mark"), "wrongmark_radio_btn", 13,
     &PaintControlScene::setWrongSymbolImage},
    {QT_TRANSLATE_NOOP("PaintControlScene", "color picker"), "colorpicker_radio_btn", 11,
     &PaintControlScene::setColorPicker},
    {QT_TRANSLATE_NOOP("PaintControlScene", "select area"), "selectarea_radio_btn", 10,
     &PaintControlScene::setSelectedRect},
    {QT_TRANSLATE_NOOP("PaintControlScene", "zoom in"), "zoomin_radio_btn", 14, &PaintControlScene::setZoomin},
    {QT_TRANSLATE_NOOP("PaintControlScene", "zoom out"), "zoomout_radio_btn", 15, &PaintControlScene::setZoomout},
    {QT_TRANSLATE_NOOP("PaintControlScene", "undo"), "undo_radio_btn", 18, &PaintControlScene::setUndo},
    {QT_TRANSLATE_NOOP("PaintControlScene", "redo"), "redo_radio_btn", 19, &PaintControlScene::setRedo},
    {QT_TRANSLATE_NOOP("PaintControlScene", "print"), "print_radio_btn", 16, &PaintControlScene::setPrint},
    {QT_TRANSLATE_NOOP("PaintControlScene", "clear board"), "clearboard_radio_btn", 17,
     &PaintControlScene::setClearBoard},
    {QT_TRANSLATE_NOOP("PaintControlScene", "new painter board"), "newboard_radio_btn", 20,
     &PaintControlScene::setNewPainter},
    {QT_TRANSLATE_NOOP("PaintControlScene", "copy board"), "copyboard_radio_btn", 21,
     &PaintControlScene::setCopyBoard},
    {QT_TRANSLATE_NOOP("PaintControlScene", "save"), "save_radio_btn", 22, &PaintControlScene::setSaveAs},
    {QT_TRANSLATE_NOOP("PaintControlScene", "exit application"), "exit_radio_btn", 23,
     &PaintControlScene::setExitApp},
};

struct SizeEntry {
    const char* tip;
    const char* name;
    int side;
    Slot slot;
};

const SizeEntry kSizes[] = {
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 1"), "size1_radio_btn", 10, &PaintControlScene::setPenSize1},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 2"), "size2_radio_btn", 15, &PaintControlScene::setPenSize2},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 3"), "size3_radio_btn", 20, &PaintControlScene::setPenSize3},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 4"), "size4_radio_btn", 25, &PaintControlScene::setPenSize4},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 5"), "size5_radio_btn", 30, &PaintControlScene::setPenSize5},
};

using RingSlot = void (PaintControlScene::*)(bool);

struct ColorEntry {
    const char* tip;
    const char* name;
    Slot slot;
    RingSlot ring;
};

const ColorEntry kColors[] = {
    {QT_TRANSLATE_NOOP("PaintControlScene", "red color"), "redcolor_radio_btn",
     &PaintControlScene::setPenColorRed, &PaintControlScene::redRadioBtnSlot},
    {QT_TRANSLATE_NOOP("PaintControlScene", "yellow color"), "yellowcolor_radio_btn",
     &PaintControlScene::setPenColorYellow, &PaintControlScene::yellowRadioBtnSlot},
    {QT_TRANSLATE_NOOP("PaintControlScene", "green color"), "greencolor_radio_btn",
     &PaintControlScene::setPenColorGreen, &PaintControlScene::greenRadioBtnSlot},
    {QT_TRANSLATE_NOOP("PaintControlScene", "blue color"), "bluecolor_radio_btn",
     &PaintControlScene::setPenColorBlue, &PaintControlScene::blueRadioBtnSlot},
    {QT_TRANSLATE_NOOP("PaintControlScene", "black color"), "blackcolor_radio_btn",
     &PaintControlScene::setPenColorBlack, &PaintControlScene::blackRadioBtnSlot},
    {QT_TRANSLATE_NOOP("PaintControlScene", "white color"), "whitecolor_radio_btn",
     &PaintControlScene::setPenColorWhite, &PaintControlScene::whiteRadioBtnSlot},
    {QT_TRANSLATE_NOOP("PaintControlScene", "purple color"), "purplecolor_radio_btn",
     &PaintControlScene::setPenColorPurple, &PaintControlScene::purpleRadioBtnSlot},
    // The source text has two spaces; translations are keyed on it.
    {QT_TRANSLATE_NOOP("PaintControlScene", "custom  color"), "customcolor_radio_btn",
     &PaintControlScene::setPenColorCustom, &PaintControlScene::customRadioBtnSlot},
};

const char kOpenStyle[] =
    "QPushButton#open_btn {border-image: url(\":/main/resource/open1.png\");background-color: transparent;}";
const char kOffStyle[] =
    "QPushButton#open_btn {border-image: url(\":/main/resource/off1.png\");background-color: transparent;}";

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QHBoxLayout* centredRow()
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->setAlignment(Qt::AlignCenter);
    return row;
}

} // namespace

PaintControlScene::PaintControlScene(QWidget* mainWindow)
    : QWidget(mainWindow)
    , mainWindow(mainWindow)
{
    setMouseTracking(true);

    mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(2);

    const QString sheet = readText(QStringLiteral(":/qss/resource/qss/Scene.qss"));
    if (!sheet.isEmpty())
        setStyleSheet(sheet);

    buildTopRow();
    addImageLine(QStringLiteral(":/main/resource/open_line.png"));
    buildSizeRows();
    addImageLine(QStringLiteral(":/main/resource/split_line.png"));
    buildColorRows();
    addImageLine(QStringLiteral(":/main/resource/split_line.png"));
    buildToolRows();
    buildBottomRow();
    addImageLine(QStringLiteral(":/main/resource/split_line.png"));
    mainLayout->addStretch();

    sizeButtons[0]->setChecked(true);
    colorRadios[0]->setChecked(true);
    updateColorRings();
}

PaintControlScene::~PaintControlScene() = default;

void PaintControlScene::centreRing(QColorRadio* radio)
{
    // The 21 x 21 ring sits over the middle of the 28 x 28 swatch, and clicks
    // pass through it to the radio, so a chosen custom colour can be chosen
    // again (and its dialog reopened) by clicking the swatch.
    if (QLayout* rows = radio->layout())
        rows->setContentsMargins(3, 3, 4, 4);
    radio->ring()->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PaintControlScene::buildTopRow()
{
    menuButton = new QPushButton(this);
    menuButton->setObjectName(QStringLiteral("menu_btn"));
    menuButton->setFixedSize(12, 9);
    menuButton->setToolTip(tr("menu"));
    connect(menuButton, &QPushButton::clicked, this, &PaintControlScene::setShowAppMenu);

    openButton = new QPushButton(this);
    openButton->setObjectName(QStringLiteral("open_btn"));
    openButton->setFixedSize(40, 15);
    openButton->setToolTip(tr("open/close"));
    connect(openButton, &QPushButton::clicked, this, &PaintControlScene::setOpenBoard);

    QHBoxLayout* row = centredRow();
    row->setSpacing(4);
    row->addWidget(menuButton, 0, Qt::AlignVCenter);
    row->addWidget(openButton, 0, Qt::AlignVCenter);
    mainLayout->addLayout(row);
}

void PaintControlScene::addImageLine(const QString& picture)
{
    auto* line = new QLabel(this);
    line->setPixmap(QPixmap(picture));
    line->setAlignment(Qt::AlignCenter);
    mainLayout->addWidget(line);
}

void PaintControlScene::buildSizeRows()
{
    sizeGroup = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        const SizeEntry& entry = kSizes[i];
        auto* button = new QRadioButton(this);
        button->setObjectName(QLatin1String(entry.name));
        button->setFixedSize(entry.side, entry.side);
        button->setToolTip(tr(entry.tip));
        sizeGroup->addButton(button, i);
        connect(button, &QRadioButton::clicked, this, entry.slot);
        sizeButtons[i] = button;

        QHBoxLayout* row = centredRow();
        row->addWidget(button);
        mainLayout->addLayout(row);
    }

    customSizeButton = new QPushButton(this);
    customSizeButton->setObjectName(QStringLiteral("custom_size_btn"));
    customSizeButton->setFixedSize(28, 8);
    customSizeButton->setToolTip(tr("custom size"));
    sizeGroup->addButton(customSizeButton, 5);
    connect(customSizeButton, &QPushButton::clicked, this, &PaintControlScene::setPenSizeCustom);
    QHBoxLayout* row = centredRow();
    row->addWidget(customSizeButton);
    mainLayout->addLayout(row);
}

void PaintControlScene::buildColorRows()
{
    colorGroup = new QButtonGroup(this);
    QHBoxLayout* row = nullptr;
    for (int i = 0; i < 8; ++i) {
        const ColorEntry& entry = kColors[i];
        auto* radio = new QColorRadio(this);
        radio->setObjectName(QLatin1String(entry.name));
        radio->setFixedSize(28, 28);
        radio->setToolTip(tr(entry.tip));
        colorGroup->addButton(radio, i);
        centreRing(radio);
        connect(radio, &QRadioButton::clicked, this, entry.slot);
        connect(radio, &QRadioButton::toggled, this, entry.ring);
        colorRadios[i] = radio;
        colorRadioList.push_back(radio);

        if (i % 2 == 0) {
            row = centredRow();
            mainLayout->addLayout(row);
        }
        row->addWidget(radio);
    }
}

void PaintControlScene::buildToolRows()
{
    toolGroup = new QButtonGroup(this);
    QHBoxLayout* row = nullptr;
    int column = 0;
    for (const ToolEntry& entry : kTools) {
        auto* button = new QRadioButton(this);
        button->setObjectName(QLatin1String(entry.name));
        button->setFixedSize(22, 22);
        button->setToolTip(tr(entry.tip));
        toolGroup->addButton(button, entry.id);
        connect(button, &QRadioButton::clicked, this, entry.slot);
        toolButtons[entry.id] = button;

        if (column++ % 2 == 0) {
            row = centredRow();
            row->setSpacing(6);
            mainLayout->addLayout(row);
        }
        row->addWidget(button);
    }
}

void PaintControlScene::buildBottomRow()
{
    optionButton = new QPushButton(this);
    optionButton->setObjectName(QStringLiteral("option_btn"));
    optionButton->setFixedSize(22, 22);
    optionButton->setToolTip(tr("option"));
    connect(optionButton, &QPushButton::clicked, this, &PaintControlScene::setOption);

    helperButton = new QPushButton(this);
    helperButton->setObjectName(QStringLiteral("helper_btn"));
    helperButton->setFixedSize(22, 22);
    helperButton->setToolTip(tr("help"));
    connect(helperButton, &QPushButton::clicked, this, &PaintControlScene::setHelper);

    QHBoxLayout* row = centredRow();
    row->setSpacing(6);
    row->addWidget(optionButton);
    row->addWidget(helperButton);
    mainLayout->addLayout(row);
}

void PaintControlScene::retranslate()
{
    menuButton->setToolTip(tr("menu"));
    openButton->setToolTip(tr("open/close"));
    for (int i = 0; i < 5; ++i)
        sizeButtons[i]->setToolTip(tr(kSizes[i].tip));
    customSizeButton->setToolTip(tr("custom size"));
    for (int i = 0; i < 8; ++i)
        colorRadios[i]->setToolTip(tr(kColors[i].tip));
    for (const ToolEntry& entry : kTools)
        toolButtons[entry.id]->setToolTip(tr(entry.tip));
    optionButton->setToolTip(tr("option"));
    helperButton->setToolTip(tr("help"));
    if (canvas)
        canvas->retranslate();
}

void PaintControlScene::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(52, 52, 52));
}

void PaintControlScene::resetChoices()
{
    sizeButtons[0]->setChecked(true);
    colorRadios[0]->setChecked(true);
    penColour = 0;
    toolButtons[0]->setChecked(true);
}

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
    canvas = std::make_unique<Screenview>(snapshot, nullptr);
    canvas->installEventFilter(this);
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

void PaintControlScene::setWidth(int width)
{
    if (canvas)
        canvas->setPenWidth(width);
}

void PaintControlScene::setColor(int r, int g, int b)
{
    if (!canvas)
        return;
    canvas->setPenColor(r, g, b, 255);
    penColour = colorGroup->checkedId();
}

void PaintControlScene::setPenSize1() { setWidth(kSizeOneWidth); }
void PaintControlScene::setPenSize2() { setWidth(4); }
void PaintControlScene::setPenSize3() { setWidth(6); }
void PaintControlScene::setPenSize4() { setWidth(8); }
void PaintControlScene::setPenSize5() { setWidth(12); }

void PaintControlScene::setPenSizeCustom()
{
    if (!canvas)
        return;
    PenSizeWindow dialog(nullptr);
    belongToBoard(&dialog);
    if (dialog.exec() == QDialog::Accepted && canvas)
        canvas->setPenWidth(dialog.penSize());
}

void PaintControlScene::setPenColorRed() { setColor(255, 0, 0); }
void PaintControlScene::setPenColorYellow() { setColor(255, 255, 0); }
void PaintControlScene::setPenColorGreen() { setColor(0, 255, 0); }
void PaintControlScene::setPenColorBlue() { setColor(0, 0, 255); }
void PaintControlScene::setPenColorBlack() { setColor(0, 0, 0); }
void PaintControlScene::setPenColorWhite() { setColor(255, 255, 255); }
void PaintControlScene::setPenColorPurple() { setColor(89, 64, 255); }

void PaintControlScene::setPenColorCustom()
{
    if (!canvas)
        return;
    const QColor colour = QColorDialog::getColor(Qt::red, canvas ? static_cast<QWidget*>(canvas.get()) : this,
                                                 QString(), QColorDialog::ColorDialogOptions());
    if (!canvas)
        return;
    if (!colour.isValid()) {
        // Cancelled: the pen keeps its colour, and the ring goes back to the
        // swatch of that colour (the click already checked the custom one).
        colorRadios[penColour]->setChecked(true);
        return;
    }
    canvas->setPenColor(colour.red(), colour.green(), colour.blue(), colour.alpha());
    penColour = colorGroup->checkedId();
}

void PaintControlScene::setPen()
{
    if (!canvas)
        return;
    canvas->selectPen();
    focusBoard();
}

void PaintControlScene::setEarser()
{
    if (!canvas)
        return;
    canvas->selectEraser();
    focusBoard();
}

void PaintControlScene::setArrow()
{
    if (!canvas)
        return;
    canvas->selectArrow();
    focusBoard();
}

void PaintControlScene::setLine()
{
    if (!canvas)
        return;
    canvas->selectLine();
    focusBoard();
}

void PaintControlScene::setRectBrush()
{
    if (!canvas)
        return;
    canvas->selectRect(true);
    focusBoard();
}

void PaintControlScene::setNullRectBrush()
{
    if (!canvas)
        return;
    canvas->selectRect(false);
    focusBoard();
}

void PaintControlScene::setEllipseBrush()
{
    if (!canvas)
        return;
    canvas->selectEllipse(true);
    focusBoard();
}

void PaintControlScene::setNullEllipseBrush()
{
    if (!canvas)
        return;
    canvas->selectEllipse(false);
    focusBoard();
}

void PaintControlScene::setMarkpen()
{
    if (!canvas)
        return;
    canvas->selectMarkPen();
    focusBoard();
}

void PaintControlScene::setRightSymbolImage()
{
    if (!canvas)
        return;
    canvas->selectRightSymbol();
    focusBoard();
}

void PaintControlScene::setTextInput()
{
    if (!canvas)
        return;
    canvas->selectText();
    focusBoard();
}

void PaintControlScene::setSelectedRect()
{
    if (!canvas)
        return;
    canvas->selectArea();
    focusBoard();
}

void PaintControlScene::setWrongSymbolImage()
{
    if (!canvas)
        return;
    canvas->selectWrongSymbol();
    focusBoard();
}

void PaintControlScene::setZoomout()
{
    if (!canvas)
        return;
    canvas->zoomOut();
    focusBoard();
}

void PaintControlScene::setZoomin()
{
    if (!canvas)
        return;
    canvas->zoomIn();
    focusBoard();
}

void PaintControlScene::setRestoreZoom()
{
    if (!canvas)
        return;
    canvas->restoreZoom();
    focusBoard();
}

void PaintControlScene::setRedo()
{
    if (!canvas)
        return;
    canvas->redo();
    focusBoard();
}

void PaintControlScene::setUndo()
{
    if (!canvas)
        return;
    canvas->undo();
    focusBoard();
}

void PaintControlScene::setPrint()
{
    if (canvas)
        canvas->print();
}

void PaintControlScene::setClearBoard()
{
    if (!canvas)
        return;
    canvas->clearBoard();
    update();
    focusBoard();
}

void PaintControlScene::setNewPainter()
{
    // A fresh board is a new snapshot with no drawings: close the open board
    // (if any) so it is off the screen before the new one takes its picture.
    if (canvas)
        setOpenBoard();
    setOpenBoard();
}

void PaintControlScene::setCopyBoard()
{
    if (!canvas)
        return;
    canvas->copyAll();
}

void PaintControlScene::setColorPicker()
{
    if (!canvas)
        return;
    canvas->selectColorPicker();
    focusBoard();
}

void PaintControlScene::setSaveAs()
{
    if (canvas)
        canvas->saveAs();
}

void PaintControlScene::setExitApp()
{
    if (canvas) {
        canvas->requestExit();
        return;
    }
    if (auto* shell = dynamic_cast<IMainWindow*>(mainWindow))
        shell->confirmExit();
}

void PaintControlScene::setOption()
{
    if (!mainWindow)
        return;
    SettingWindow dialog(nullptr);
    belongToBoard(&dialog);
    dialog.exec();
}

QRect PaintControlScene::menuGeometryAt(const QPoint& cursor, const QSize& menuSize, const QRect& available)
{
    QRect area(cursor, menuSize);
    if (area.right() > available.right())
        area.moveLeft(available.right() - menuSize.width());
    else if (area.left() < available.left())
        area.moveLeft(available.left());
    if (area.bottom() > available.bottom())
        area.moveTop(available.bottom() - menuSize.height());
    else if (area.top() < available.top())
        area.moveTop(available.top());
    return area;
}

void PaintControlScene::setShowAppMenu()
{
    auto* shell = dynamic_cast<IMainWindow*>(mainWindow);
    if (!shell)
        return;
    QWidget* menu = shell->applicationMenu();
    if (!menu)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    menu->setGeometry(menuGeometryAt(QCursor::pos(), menu->size(), available));
    menu->show();
}

void PaintControlScene::setHelper()
{
    if (mainWindow)
        QDesktopServices::openUrl(HelpPage::url());
}

void PaintControlScene::updateColorRings()
{
    for (QColorRadio* radio : colorRadioList)
        radio->setSelectedVisible(radio->isChecked());
}

void PaintControlScene::redRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::yellowRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::greenRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::blueRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::blackRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::whiteRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::purpleRadioBtnSlot(bool) { updateColorRings(); }
void PaintControlScene::customRadioBtnSlot(bool) { updateColorRings(); }
