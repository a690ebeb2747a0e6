// The tool strip driven by button clicks, offscreen, against a real canvas
// whose snapshot is a known colour.

#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/QTextEditer.h"
#include "canvas/Screenview.h"
#include "platform/ScreenCapture.h"
#include "widgets/QColorRadio.h"
#include "panel/IMainWindow.h"
#include "panel/PaintControlScene.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QColor kSnapshot(40, 80, 120);

class SolidCapture : public ScreenCapture
{
public:
    QPixmap captureScreen(WId, int, int, int width, int height) override
    {
        const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
        QPixmap pixmap(qRound(width * ratio), qRound(height * ratio));
        pixmap.fill(kSnapshot);
        ++captures;
        return pixmap;
    }

    int captures = 0;
};

// Answers only when the test says so, as the desktop's screenshot portal does;
// or not at all, with a reason.
class LateCapture : public ScreenCapture
{
public:
    QPixmap captureScreen(WId, int, int, int, int) override { return QPixmap(); }
    void captureArea(const QRect& area, Done done) override
    {
        asked = area;
        pending = std::move(done);
        if (!failure.isEmpty())
            answer(QPixmap());
    }
    void answer(const QPixmap& pixels)
    {
        Done done = std::move(pending);
        pending = nullptr;
        done(pixels, failure);
    }

    QRect asked;
    Done pending;
    QString failure;
};

// Stands in for the main window: counts exit questions and carries a menu.
class FakeMainWindow : public QWidget, public IMainWindow
{
public:
    FakeMainWindow()
    {
        menu.setFixedSize(180, 140);
    }

    QWidget* applicationMenu() const override { return const_cast<QWidget*>(&menu); }
    void confirmExit() override { ++exitQuestions; }

    QWidget menu;
    int exitQuestions = 0;
};

// Runs `act` on the next modal dialog once it is up: looked for at every turn
// of the event loop, however late it comes, for as long as `owner` lives (at
// most 30 s).
void onNextModal(QObject* owner, std::function<void(QWidget*)> act, bool* seen = nullptr)
{
    if (seen)
        *seen = false;
    auto* poll = new QTimer(owner);
    const QDeadlineTimer deadline(30000);
    QObject::connect(poll, &QTimer::timeout, [poll, act, seen, deadline] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (seen)
            *seen = dialog != nullptr;
        if (dialog)
            act(dialog);
    });
    poll->start(5);
}

} // namespace

class PanelTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyButtonCarriesItsNameTipAndGroup_data();
    void everyButtonCarriesItsNameTipAndGroup();
    void withNoBoardButtonsOnlyChangeTheCheckedButton();
    void openingMakesAFreshBoardAboveWhichTheStripStays();
    void closingDeletesTheBoardAndResetsTheMarkers();
    void toolButtonsSelectTheirTool_data();
    void toolButtonsSelectTheirTool();
    void clickingTheCheckedToolAgainLeavesZoom();
    void escapeAfterChoosingTheToolOnTheStripPutsThePickerAway();
    void keysOnTheBoardChooseWhatTheStripThenShows();
    void sizeButtonsSendTheirWidths_data();
    void sizeButtonsSendTheirWidths();
    void colourButtonsSendTheirColours_data();
    void colourButtonsSendTheirColours();
    void cancelledCustomColourKeepsThePenAndItsRing();
    void customSizeSendsTheChosenWidth();
    void selectionRingFollowsTheCheckedColour();
    void undoRedoAndClearReachTheHistory();
    void newPainterGivesAFreshEmptyBoard();
    void aWindowManagerCloseIsTheSwitchAndTheBoardCanBeReopened();
    void newPainterOpensABoardWhenNoneIsOpen();
    void theBoardOpensWhenTheLateCaptureArrives();
    void aFailedCaptureOpensNoBoardAndSaysWhy();
    void copyBoardPutsTheWholeBoardOnTheClipboard();
    void exitAsksTheMainWindowWithNoBoard();
    void exitWithABoardAnsweredNoKeepsTheBoard();
    void menuGeometryStaysInsideTheScreen_data();
    void menuGeometryStaysInsideTheScreen();
    void menuButtonShowsTheApplicationMenu();

private:
    QAbstractButton* button(const char* name) const
    {
        auto* found = panel->findChild<QAbstractButton*>(QLatin1String(name));
        if (!found)
            qFatal("no button %s", name);
        return found;
    }
    // Presses and releases on the board at a logical position and returns the item begun.
    // A short stroke: a click alone draws nothing with the pen.
    GraphActioner* drawDot(QPoint pos)
    {
        QTest::mousePress(panel->board(), Qt::LeftButton, {}, pos);
        QMouseEvent move(QEvent::MouseMove, pos + QPoint(2, 2), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(panel->board(), &move);
        QTest::mouseRelease(panel->board(), Qt::LeftButton, {}, pos + QPoint(2, 2));
        return panel->board()->manager()->painted().back();
    }

    SolidCapture capture;
    std::unique_ptr<FakeMainWindow> window;
    PaintControlScene* panel = nullptr;
};

void PanelTest::init()
{
    ScreenCapture::setInstance(&capture);
    capture.captures = 0;
    window = std::make_unique<FakeMainWindow>();
    panel = new PaintControlScene(window.get());
    window->show();
}

void PanelTest::cleanup()
{
    window.reset();
    panel = nullptr;
    ScreenCapture::setInstance(nullptr);
}

void PanelTest::everyButtonCarriesItsNameTipAndGroup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("group"); // 0 size, 1 colour, 2 tool, -1 none
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");

    const QSize tool(22, 22);
    // Each tip names the key that does the same on the board; tools are
    // grouped by their item type, commands after them.
    const struct { const char* name; const char* tip; int id; } tools[] = {
        {"pen_radio_btn", "pen (P)", Pen}, {"line_radio_btn", "line (L)", Line}, {"eraser_radio_btn", "eraser (E)", Erase},
        {"rectangle_radio_btn", "rectangle (R)", Rect}, {"filledrectangle_radio_btn", "filled rectangle (Shift+R)", BrushRect},
        {"ellipse_radio_btn", "ellipse (O)", Ellipse}, {"solidellipse_radio_btn", "solid ellipse (Shift+O)", BrushEllipse},
        {"arrow_radio_btn", "arrow (A)", LineArrow}, {"markerpen_radio_btn", "marker pen (N)", MarkingPen},
        {"inserttext_radio_btn", "insert text (T)", Text}, {"rightmark_radio_btn", "right mark (V)", RightSymbols},
        {"wrongmark_radio_btn", "wrong mark (X)", WrongSymbols}, {"colorpicker_radio_btn", "color picker (I)", Picker},
        {"highlighter_radio_btn", "highlighter (H)", Highlighter}, {"laser_radio_btn", "laser pointer (G)", Laser},
        {"selectarea_radio_btn", "select area (S)", SelectArea}, {"zoomin_radio_btn", "zoom in (Ctrl++)", 100},
        {"zoomout_radio_btn", "zoom out (Ctrl+-)", 101}, {"undo_radio_btn", "undo (Ctrl+Z)", 102},
        {"redo_radio_btn", "redo (Ctrl+Y)", 103}, {"print_radio_btn", "print (Ctrl+P)", 104},
        {"clearboard_radio_btn", "clear board (Del)", 105}, {"newboard_radio_btn", "new painter board", 106},
        {"copyboard_radio_btn", "copy board (Ctrl+C)", 107}, {"save_radio_btn", "save (Ctrl+S)", 108},
        {"exit_radio_btn", "exit application", 109},
    };
    for (const auto& t : tools)
        QTest::newRow(t.name) << t.name << t.tip << 2 << t.id << tool;

    const int sides[] = {10, 15, 20, 25, 30};
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "size" + QByteArray::number(i + 1) + "_radio_btn";
        QTest::newRow(name) << QString(name) << QString("size %1").arg(i + 1) << 0 << i << QSize(sides[i], sides[i]);
    }
    QTest::newRow("custom_size_btn") << "custom_size_btn" << "custom size" << 0 << 5 << QSize(28, 8);

    const char* colours[] = {"red", "yellow", "green", "blue", "black", "white", "purple", "custom"};
    for (int i = 0; i < 8; ++i) {
        const QString name = QString("%1color_radio_btn").arg(colours[i]);
        const QString tip = (i == 7 ? QString("custom  color") : QString("%1 color").arg(colours[i]))
            + QString(" (%1)").arg(i + 1);
        QTest::newRow(qPrintable(name)) << name << tip << 1 << i << QSize(28, 28);
    }
    QTest::newRow("menu_btn") << "menu_btn" << "menu" << -1 << -1 << QSize(12, 9);
    QTest::newRow("open_btn") << "open_btn" << "open/close" << -1 << -1 << QSize(40, 15);
    QTest::newRow("option_btn") << "option_btn" << "option" << -1 << -1 << QSize();
    QTest::newRow("helper_btn") << "helper_btn" << "help" << -1 << -1 << QSize();
}

void PanelTest::everyButtonCarriesItsNameTipAndGroup()
{
    QFETCH(QString, name);
    QFETCH(QString, tip);
    QFETCH(int, group);
    QFETCH(int, id);
    QFETCH(QSize, size);

    const auto matches = panel->findChildren<QAbstractButton*>(name);
    QCOMPARE(matches.size(), 1);
    QAbstractButton* found = matches.front();
    QCOMPARE(found->toolTip(), tip);
    if (size.isValid()) {
        QCOMPARE(found->minimumSize(), size);
        QCOMPARE(found->maximumSize(), size);
    }
    if (group < 0)
        return;
    QVERIFY(found->group());
    QVERIFY(found->group()->exclusive());
    QCOMPARE(found->group()->id(found), id);
    QCOMPARE(found->group()->buttons().size(), group == 0 ? 6 : group == 1 ? 8 : 26);
}

void PanelTest::withNoBoardButtonsOnlyChangeTheCheckedButton()
{
    // A new strip has size 1 and red chosen, and no tool until a board opens.
    QVERIFY(button("size1_radio_btn")->isChecked());
    QVERIFY(button("redcolor_radio_btn")->isChecked());
    QVERIFY(!button("pen_radio_btn")->group()->checkedButton());

    // No dialog may open for the custom size or colour either.
    bool dialogOpened = false;
    QTimer guard;
    connect(&guard, &QTimer::timeout, [&dialogOpened] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialogOpened = true;
            dialog->close();
        }
    });
    guard.start(0);

    for (const char* name : {"size3_radio_btn", "bluecolor_radio_btn", "rectangle_radio_btn", "zoomin_radio_btn",
                             "undo_radio_btn", "print_radio_btn", "save_radio_btn", "copyboard_radio_btn",
                             "clearboard_radio_btn", "custom_size_btn", "customcolor_radio_btn"}) {
        button(name)->click();
        QCoreApplication::processEvents();
    }
    QVERIFY(!dialogOpened);
    QVERIFY(!panel->board());
    QCOMPARE(capture.captures, 0);
    QVERIFY(button("size3_radio_btn")->isChecked());
    QVERIFY(button("customcolor_radio_btn")->isChecked());
    QVERIFY(button("clearboard_radio_btn")->isChecked());
}

void PanelTest::openingMakesAFreshBoardAboveWhichTheStripStays()
{
    button("size4_radio_btn")->click();
    button("greencolor_radio_btn")->click();
    button("ellipse_radio_btn")->click();
    Screenview::markNumber = 7;

    button("open_btn")->click();
    Screenview* board = panel->board();
    QVERIFY(board);
    QCOMPARE(capture.captures, 1);
    QVERIFY(board->isVisible());
    QVERIFY(window->isVisible());
    QCOMPARE(Screenview::markNumber, 0);
    QVERIFY(button("open_btn")->styleSheet().contains("off1.png"));

    // The strip goes back to size 1, red and pen; the board keeps its own defaults.
    QVERIFY(button("size1_radio_btn")->isChecked());
    QVERIFY(button("redcolor_radio_btn")->isChecked());
    QVERIFY(button("pen_radio_btn")->isChecked());
    QVERIFY(!button("ellipse_radio_btn")->isChecked());
    QCOMPARE(board->tool(), int(Pen));
    // The first stroke has the width of the checked size dot, size 1.
    QCOMPARE(board->currentPenWidth(), 2);
    GraphActioner* item = drawDot({30, 30});
    QCOMPARE(item->propertyInt("r"), 255);
    QCOMPARE(item->propertyInt("g"), 0);
    QCOMPARE(item->propertyInt("size"), 2);
}

void PanelTest::closingDeletesTheBoardAndResetsTheMarkers()
{
    button("open_btn")->click();
    QPointer<Screenview> board = panel->board();
    button("markerpen_radio_btn")->click();
    drawDot({20, 20});
    drawDot({40, 40});
    QCOMPARE(Screenview::markNumber, 2);

    button("open_btn")->click();
    QVERIFY(!panel->board());
    // Kept off the screen until the program ends, for "Reopen last board".
    QVERIFY(board && !board->isVisible());
    QCOMPARE(panel->closedBoard(), board.data());
    QCOMPARE(Screenview::markNumber, 0);
    QVERIFY(window->isVisible());
    QVERIFY(button("open_btn")->styleSheet().contains("open1.png"));
    QVERIFY(button("pen_radio_btn")->isChecked());

    // The next board starts over with a new snapshot and badge 0.
    button("open_btn")->click();
    QCOMPARE(capture.captures, 2);
    QCOMPARE(panel->board()->manager()->painted().size(), size_t(1));
    button("markerpen_radio_btn")->click();
    QCOMPARE(drawDot({20, 20})->propertyInt("number"), 0);
}

void PanelTest::toolButtonsSelectTheirTool_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tool");
    QTest::newRow("line") << "line_radio_btn" << int(Line);
    QTest::newRow("eraser") << "eraser_radio_btn" << int(Erase);
    QTest::newRow("rectangle") << "rectangle_radio_btn" << int(Rect);
    QTest::newRow("filled rectangle") << "filledrectangle_radio_btn" << int(BrushRect);
    QTest::newRow("ellipse") << "ellipse_radio_btn" << int(Ellipse);
    QTest::newRow("solid ellipse") << "solidellipse_radio_btn" << int(BrushEllipse);
    QTest::newRow("arrow") << "arrow_radio_btn" << int(LineArrow);
    QTest::newRow("marker pen") << "markerpen_radio_btn" << int(MarkingPen);
    QTest::newRow("insert text") << "inserttext_radio_btn" << int(Text);
    QTest::newRow("right mark") << "rightmark_radio_btn" << int(RightSymbols);
    QTest::newRow("wrong mark") << "wrongmark_radio_btn" << int(WrongSymbols);
    QTest::newRow("color picker") << "colorpicker_radio_btn" << int(Picker);
    QTest::newRow("select area") << "selectarea_radio_btn" << int(SelectArea);
}

void PanelTest::toolButtonsSelectTheirTool()
{
    QFETCH(QString, name);
    QFETCH(int, tool);
    button("open_btn")->click();
    button(qPrintable(name))->click();
    QCOMPARE(panel->board()->tool(), tool);
    button("pen_radio_btn")->click();
    QCOMPARE(panel->board()->tool(), int(Pen));
}

void PanelTest::clickingTheCheckedToolAgainLeavesZoom()
{
    button("open_btn")->click();
    button("zoomin_radio_btn")->click();
    QVERIFY(panel->board()->isZoomMode());
    button("rectangle_radio_btn")->click();
    QVERIFY(!panel->board()->isZoomMode());

    // Zoomed from the board's own menu, the strip still shows the rectangle
    // checked; clicking it again leaves zoom mode all the same.
    panel->board()->zoomIn();
    QVERIFY(panel->board()->isZoomMode());
    QVERIFY(button("rectangle_radio_btn")->isChecked());
    QTest::mouseClick(button("rectangle_radio_btn"), Qt::LeftButton);
    QVERIFY(button("rectangle_radio_btn")->isChecked());
    QVERIFY(!panel->board()->isZoomMode());
    QCOMPARE(panel->board()->tool(), int(Rect));
}

void PanelTest::escapeAfterChoosingTheToolOnTheStripPutsThePickerAway()
{
    button("open_btn")->click();
    Screenview* board = panel->board();
    // The user clicks the strip, a window of its own, to choose the picker.
    window->activateWindow();
    QTRY_VERIFY(window->isActiveWindow());
    button("colorpicker_radio_btn")->click();
    QVERIFY(board->isPickerActive());

    // Escape goes wherever the keyboard is, as a real key press does.
    QTRY_VERIFY(board->isActiveWindow());
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape);
    QVERIFY(!board->isPickerActive());
    QCOMPARE(board->tool(), int(Pen));
}

void PanelTest::keysOnTheBoardChooseWhatTheStripThenShows()
{
    button("open_btn")->click();
    Screenview* board = panel->board();
    QTest::keyClick(board, Qt::Key_R, Qt::ShiftModifier);
    QCOMPARE(board->tool(), int(BrushRect));
    QVERIFY(button("filledrectangle_radio_btn")->isChecked());
    QTest::keyClick(board, Qt::Key_R);
    QCOMPARE(board->tool(), int(Rect));
    QVERIFY(button("rectangle_radio_btn")->isChecked());
    QTest::keyClick(board, Qt::Key_4);
    QVERIFY(button("bluecolor_radio_btn")->isChecked());
    QTest::keyClick(board, Qt::Key_BracketRight);
    QTest::keyClick(board, Qt::Key_BracketRight);
    QVERIFY(button("size3_radio_btn")->isChecked());
    QTest::keyClick(board, Qt::Key_BracketLeft);
    QVERIFY(button("size2_radio_btn")->isChecked());
    QTest::keyClick(board, Qt::Key_BracketLeft);
    QTest::keyClick(board, Qt::Key_BracketLeft);
    QVERIFY(button("size1_radio_btn")->isChecked());

    // What the keys chose is what the next item is drawn with.
    QTest::keyClick(board, Qt::Key_BracketRight);
    GraphActioner* item = drawDot({40, 40});
    QCOMPARE(item->type, int(Rect));
    QCOMPARE(item->propertyInt("size"), 4);
    QCOMPARE(item->propertyInt("b"), 255);
    QCOMPARE(item->propertyInt("r"), 0);

    // Undo and redo from the keyboard, and Delete clears.
    const int drawn = board->manager()->painted().size();
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(board->manager()->painted().size(), drawn - 1);
    QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(board->manager()->painted().size(), drawn);
    QTest::keyClick(board, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(board->isZoomMode());
    QTest::keyClick(board, Qt::Key_0, Qt::ControlModifier);
    QVERIFY(!board->isZoomMode());

    // Letters typed into a text entry are text, not tools.
    QTest::keyClick(board, Qt::Key_T);
    QCOMPARE(board->tool(), int(Text));
    QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(200, 200));
    QTRY_VERIFY(board->openEditor());
    QTest::keyClicks(board->openEditor(), QStringLiteral("Rope 4"));
    QCOMPARE(board->tool(), int(Text));
    QVERIFY(button("inserttext_radio_btn")->isChecked());
    QVERIFY(button("bluecolor_radio_btn")->isChecked());
    QVERIFY(board->openEditor()->text().contains(QStringLiteral("Rope 4")));
}

void PanelTest::sizeButtonsSendTheirWidths_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::newRow("size 1") << "size1_radio_btn" << 2;
    QTest::newRow("size 2") << "size2_radio_btn" << 4;
    QTest::newRow("size 3") << "size3_radio_btn" << 6;
    QTest::newRow("size 4") << "size4_radio_btn" << 8;
    QTest::newRow("size 5") << "size5_radio_btn" << 12;
}

void PanelTest::sizeButtonsSendTheirWidths()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    button("open_btn")->click();
    button(qPrintable(name))->click();
    QCOMPARE(panel->board()->currentPenWidth(), width);
    QCOMPARE(drawDot({50, 50})->propertyInt("size"), width);
}

void PanelTest::colourButtonsSendTheirColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("yellow") << "yellowcolor_radio_btn" << QColor(255, 255, 0);
    QTest::newRow("green") << "greencolor_radio_btn" << QColor(0, 255, 0);
    QTest::newRow("blue") << "bluecolor_radio_btn" << QColor(0, 0, 255);
    QTest::newRow("black") << "blackcolor_radio_btn" << QColor(0, 0, 0);
    QTest::newRow("white") << "whitecolor_radio_btn" << QColor(255, 255, 255);
    QTest::newRow("purple") << "purplecolor_radio_btn" << QColor(89, 64, 255);
    QTest::newRow("red") << "redcolor_radio_btn" << QColor(255, 0, 0);
}

void PanelTest::colourButtonsSendTheirColours()
{
    QFETCH(QString, name);
    QFETCH(QColor, colour);
    button("open_btn")->click();
    button("blackcolor_radio_btn")->click();
    button(qPrintable(name))->click();
    GraphActioner* item = drawDot({60, 60});
    QCOMPARE(item->propertyInt("r"), colour.red());
    QCOMPARE(item->propertyInt("g"), colour.green());
    QCOMPARE(item->propertyInt("b"), colour.blue());
    QCOMPARE(item->propertyInt("a"), 255);
}

void PanelTest::cancelledCustomColourKeepsThePenAndItsRing()
{
    button("open_btn")->click();
    button("bluecolor_radio_btn")->click();
    bool asked = false;
    onNextModal(window.get(), [](QWidget* dialog) {
        auto* colours = qobject_cast<QColorDialog*>(dialog);
        QVERIFY(colours);
        QCOMPARE(colours->currentColor(), QColor(Qt::red));
        colours->reject();
    }, &asked);
    button("customcolor_radio_btn")->click();
    QVERIFY(asked);
    GraphActioner* item = drawDot({60, 60});
    QCOMPARE(item->propertyInt("r"), 0);
    QCOMPARE(item->propertyInt("g"), 0);
    QCOMPARE(item->propertyInt("b"), 255);
    QCOMPARE(item->propertyInt("a"), 255);
    QVERIFY(button("bluecolor_radio_btn")->isChecked());
    auto* custom = panel->findChild<QColorRadio*>("customcolor_radio_btn");
    auto* blue = panel->findChild<QColorRadio*>("bluecolor_radio_btn");
    QVERIFY(custom->ring()->isHidden());
    QVERIFY(!blue->ring()->isHidden());
}

void PanelTest::customSizeSendsTheChosenWidth()
{
    button("open_btn")->click();
    bool asked = false;
    onNextModal(window.get(), [](QWidget* dialog) {
        auto* sizes = dialog->findChild<QComboBox*>("penSizeCombox");
        auto* ok = dialog->findChild<QPushButton*>("okPushButton");
        QVERIFY(sizes && ok);
        sizes->setCurrentIndex(sizes->findText("17"));
        ok->click();
    }, &asked);
    button("custom_size_btn")->click();
    QVERIFY(asked);
    QCOMPARE(panel->board()->currentPenWidth(), 17);

    // Closing the dialog without Ok leaves the width alone.
    onNextModal(window.get(), [](QWidget* dialog) { dialog->close(); });
    button("custom_size_btn")->click();
    QCOMPARE(panel->board()->currentPenWidth(), 17);
}

void PanelTest::selectionRingFollowsTheCheckedColour()
{
    auto ringShown = [this](const char* name) {
        auto* radio = panel->findChild<QColorRadio*>(QLatin1String(name));
        auto* ring = radio->findChild<QPushButton*>("selected_color_radio_btn");
        return ring && !ring->isHidden();
    };
    const char* names[] = {"redcolor_radio_btn", "yellowcolor_radio_btn", "greencolor_radio_btn",
                           "bluecolor_radio_btn", "blackcolor_radio_btn", "whitecolor_radio_btn",
                           "purplecolor_radio_btn", "customcolor_radio_btn"};
    for (const char* chosen : {"redcolor_radio_btn", "purplecolor_radio_btn", "yellowcolor_radio_btn"}) {
        if (!button(chosen)->isChecked())
            button(chosen)->click();
        for (const char* name : names)
            QCOMPARE(ringShown(name), qstrcmp(name, chosen) == 0);
    }
}

void PanelTest::undoRedoAndClearReachTheHistory()
{
    button("open_btn")->click();
    GraphManager* history = panel->board()->manager();
    button("rectangle_radio_btn")->click();
    drawDot({10, 10});
    QCOMPARE(history->painted().size(), size_t(2));
    button("undo_radio_btn")->click();
    QCOMPARE(history->painted().size(), size_t(1));
    button("redo_radio_btn")->click();
    QCOMPARE(history->painted().size(), size_t(2));
    button("clearboard_radio_btn")->click();
    button("undo_radio_btn")->click();
    QCOMPARE(history->painted().size(), size_t(2));

    // Each gives the keyboard back to the board, as choosing a tool does.
    for (const char* name : {"undo_radio_btn", "redo_radio_btn", "clearboard_radio_btn"}) {
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        button(name)->click();
        QTRY_VERIFY2(panel->board()->isActiveWindow(), name);
    }
}

void PanelTest::newPainterGivesAFreshEmptyBoard()
{
    button("open_btn")->click();
    button("markerpen_radio_btn")->click();
    drawDot({10, 10});
    button("size5_radio_btn")->click();
    QPointer<Screenview> old = panel->board();

    button("newboard_radio_btn")->click();
    QVERIFY(old && !old->isVisible());
    QCOMPARE(panel->closedBoard(), old.data());
    QVERIFY(panel->board());
    QVERIFY(panel->board()->isVisible());
    // Blank and white, with no picture of the screen taken.
    QCOMPARE(capture.captures, 1);
    const QImage& blank = panel->board()->manager()->canvas()->canvasImage;
    QCOMPARE(blank.size(), old->manager()->canvas()->canvasImage.size());
    QCOMPARE(blank.pixelColor(5, 5), QColor(Qt::white));
    QCOMPARE(blank.pixelColor(blank.width() - 1, blank.height() - 1), QColor(Qt::white));
    QCOMPARE(panel->board()->manager()->painted().size(), size_t(1));
    QCOMPARE(Screenview::markNumber, 0);
    QVERIFY(button("pen_radio_btn")->isChecked());
    QVERIFY(button("size1_radio_btn")->isChecked());
    QVERIFY(button("open_btn")->styleSheet().contains("off1.png"));
}

void PanelTest::aWindowManagerCloseIsTheSwitchAndTheBoardCanBeReopened()
{
    button("open_btn")->click();
    QPointer<Screenview> board = panel->board();
    button("rectangle_radio_btn")->click();
    drawDot({30, 30});
    button("pen_radio_btn")->click();
    drawDot({80, 80});
    const QImage drawn = board->manager()->canvas()->canvasImage.copy();

    // What a window manager's close (Alt+F4) runs.
    board->close();
    QTRY_VERIFY(!panel->board());
    QVERIFY(button("open_btn")->styleSheet().contains("open1.png"));
    QVERIFY(board && !board->isVisible());

    // The next click on the switch opens a new board, not the closed one.
    button("open_btn")->click();
    QVERIFY(panel->board() && panel->board() != board);
    QCOMPARE(capture.captures, 2);

    // "Reopen last board" brings the drawing back, undo history included;
    // the board it replaces is the one kept now.
    QPointer<Screenview> second = panel->board();
    panel->reopenLastBoard();
    QCOMPARE(panel->board(), board.data());
    QVERIFY(board->isVisible());
    QCOMPARE(panel->closedBoard(), second.data());
    QCOMPARE(board->manager()->canvas()->canvasImage, drawn);
    QVERIFY(button("open_btn")->styleSheet().contains("off1.png"));
    board->undo();
    QCOMPARE(board->manager()->painted().size(), size_t(2));
}

void PanelTest::newPainterOpensABoardWhenNoneIsOpen()
{
    button("newboard_radio_btn")->click();
    QVERIFY(panel->board());
    QVERIFY(panel->board()->isVisible());
    QCOMPARE(capture.captures, 0);
}

void PanelTest::theBoardOpensWhenTheLateCaptureArrives()
{
    LateCapture late;
    ScreenCapture::setInstance(&late);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    button("open_btn")->click();
    // Waiting for the picture: the strip is off the screen, no board yet,
    // and another click on the switch changes nothing.
    QVERIFY(late.pending);
    QCOMPARE(late.asked, screen);
    QVERIFY(panel->isCapturing());
    QVERIFY(!panel->board());
    QVERIFY(!window->isVisible());
    QCOMPARE(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor,
             Qt::BusyCursor);
    button("open_btn")->click();
    QVERIFY(!panel->board());

    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    QPixmap picture(screen.size() * ratio);
    picture.fill(kSnapshot);
    late.answer(picture);
    QVERIFY(panel->board());
    QVERIFY(!panel->isCapturing());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(window->isVisible());
    QCOMPARE(panel->board()->geometry(), screen);
    QCOMPARE(panel->board()->manager()->canvas()->background.pixelColor(5, 5), kSnapshot);
    ScreenCapture::setInstance(&capture);
}

void PanelTest::aFailedCaptureOpensNoBoardAndSaysWhy()
{
    LateCapture refused;
    refused.failure = QStringLiteral("The desktop refused to take a screenshot.");
    ScreenCapture::setInstance(&refused);
    QString said;
    onNextModal(window.get(), [&said](QWidget* dialog) {
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            said += label->text() + QLatin1Char('\n');
        dialog->close();
    });
    QTest::ignoreMessage(QtWarningMsg, "The screen could not be captured: The desktop refused to take a screenshot.");
    button("open_btn")->click();
    QVERIFY(said.contains(QStringLiteral("The screen could not be captured.")));
    QVERIFY(said.contains(refused.failure));
    // No black board; the strip is back and opens a board once capturing works.
    QVERIFY(!panel->board());
    QVERIFY(!panel->isCapturing());
    QVERIFY(window->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    ScreenCapture::setInstance(&capture);
    button("open_btn")->click();
    QVERIFY(panel->board());
}

void PanelTest::copyBoardPutsTheWholeBoardOnTheClipboard()
{
    button("open_btn")->click();
    QVERIFY(QTest::qWaitForWindowExposed(panel->board()));
    QGuiApplication::clipboard()->clear();
    button("copyboard_radio_btn")->click();
    const QImage copied = QGuiApplication::clipboard()->image();
    const qreal ratio = panel->board()->devicePixelRatioF();
    QCOMPARE(copied.size(), panel->board()->size() * ratio);
    QCOMPARE(copied.pixelColor(5, 5).rgb(), kSnapshot.rgb());
}

void PanelTest::exitAsksTheMainWindowWithNoBoard()
{
    button("exit_radio_btn")->click();
    QCOMPARE(window->exitQuestions, 1);
}

void PanelTest::exitWithABoardAnsweredNoKeepsTheBoard()
{
    button("open_btn")->click();
    bool asked = false;
    onNextModal(window.get(), [](QWidget* dialog) {
        for (auto* box : dialog->findChildren<QDialogButtonBox*>()) {
            for (QAbstractButton* choice : box->buttons()) {
                if (box->buttonRole(choice) == QDialogButtonBox::NoRole) {
                    choice->click();
                    return;
                }
            }
        }
        dialog->close();
    }, &asked);
    button("exit_radio_btn")->click();
    QVERIFY(asked);
    QCOMPARE(window->exitQuestions, 0);
    QVERIFY(panel->board());
    QVERIFY(panel->board()->manager());
}

void PanelTest::menuGeometryStaysInsideTheScreen_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRect>("expected");
    const QSize menu(180, 140);
    QTest::newRow("inside") << QPoint(100, 100) << QRect(QPoint(100, 100), menu);
    QTest::newRow("past the right") << QPoint(1900, 100) << QRect(QPoint(1919 - 180, 100), menu);
    QTest::newRow("past the bottom") << QPoint(100, 1000) << QRect(QPoint(100, 1039 - 140), menu);
    QTest::newRow("bottom right corner") << QPoint(1919, 1039) << QRect(QPoint(1739, 899), menu);
    QTest::newRow("before the left") << QPoint(-50, 100) << QRect(QPoint(0, 100), menu);
    QTest::newRow("above the top") << QPoint(100, -20) << QRect(QPoint(100, 0), menu);
}

void PanelTest::menuGeometryStaysInsideTheScreen()
{
    QFETCH(QPoint, cursor);
    QFETCH(QRect, expected);
    const QRect available(0, 0, 1920, 1040);
    const QRect placed = PaintControlScene::menuGeometryAt(cursor, QSize(180, 140), available);
    QCOMPARE(placed, expected);
    QVERIFY(available.contains(placed));
}

void PanelTest::menuButtonShowsTheApplicationMenu()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCursor::setPos(available.bottomRight());
    button("menu_btn")->click();
    QVERIFY(window->menu.isVisible());
    QVERIFY(available.contains(window->menu.geometry()));
}

QTEST_MAIN(PanelTest)
#include "panel_test.moc"
