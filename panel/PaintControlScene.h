#pragma once

#include "canvas/BoardKeys.h"
#include "panel/StripInPicture.h"

#include <QRect>
#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <vector>

class QButtonGroup;
class QColorRadio;
class QPaintEvent;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class QPixmap;
class QScreen;
class BoardJournal;
class Screenview;
struct BoardState;

// The vertical strip of buttons under the main window's title bar. It opens
// and closes the board (the canvas, which it owns), chooses pen width, colour
// and tool, and runs the one-shot commands. While no board is open every
// drawing button only changes which button is checked. The look comes from
// the Scene style sheet, keyed on the buttons' object names.
class PaintControlScene : public QWidget
{
    Q_OBJECT

public:
    explicit PaintControlScene(QWidget* mainWindow);
    ~PaintControlScene() override;

    // The open board, or null while the board is closed.
    Screenview* board() const { return canvas.get(); }
    // Makes a dialog opened from the strip or the tray belong to the open
    // board, if any, so it shows above the full-screen board.
    void belongToBoard(QWidget* dialog) const;
    // The board closed last (by the switch, the window manager or a new
    // board), kept until the program ends; null when there is none.
    Screenview* closedBoard() const { return lastBoard.get(); }
    // Brings the last closed board back as it was, undo history included.
    void reopenLastBoard();
    // Opens a board file (".sbboard") as the board on the strip's screen,
    // every item undoable; a file that cannot be opened is told, and the
    // open board stays. A board from a screen of another size is fitted.
    bool openBoardFile(const QString& path);
    // Asks for a board file to open.
    void chooseBoardFile();
    // At start: when the last run left a board's journal behind (it ended
    // without exiting), asks whether to restore that board and does. True
    // when a board was restored.
    bool offerRestore();
    // At a normal exit: the open board's journal is no longer needed.
    void endJournal();

    // While the screen is being captured for a new board.
    bool isCapturing() const { return capturing; }
    // The screen a board opens on: the one that holds the strip.
    QScreen* boardScreen() const;

    // Where the application menu goes when popped up at `cursor`: its own size,
    // shifted back inside `available` when it would pass the right or bottom
    // (or start before the left or top) of that area.
    static QRect menuGeometryAt(const QPoint& cursor, const QSize& menuSize, const QRect& available);

    // Sets every tooltip again, and the open board's texts, after the
    // language changed.
    void retranslate();

public slots:
    void setOpenBoard();
    void setPenSize1();
    void setPenSize2();
    void setPenSize3();
    void setPenSize4();
    void setPenSize5();
    void setPenSizeCustom();
    void setPenColorRed();
    void setPenColorYellow();
    void setPenColorGreen();
    void setPenColorBlue();
    void setPenColorBlack();
    void setPenColorWhite();
    void setPenColorPurple();
    void setPenColorCustom();
    // Chooses the tool for items of `type` (a GraphType) on the open board.
    void chooseTool(int type);
    void setZoomout();
    void setZoomin();
    void setRestoreZoom();
    void setRedo();
    void setUndo();
    void setPrint();
    void setClearBoard();
    void setNewPainter();
    void setCopyBoard();
    void setSaveAs();
    void setExitApp();
    void setOption();
    void setShowAppMenu();
    void setHelper();
    void redRadioBtnSlot(bool checked);
    void yellowRadioBtnSlot(bool checked);
    void greenRadioBtnSlot(bool checked);
    void blueRadioBtnSlot(bool checked);
    void blackRadioBtnSlot(bool checked);
    void whiteRadioBtnSlot(bool checked);
    void purpleRadioBtnSlot(bool checked);
    void customRadioBtnSlot(bool checked);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Watches the board: each time it becomes the active window the strip
    // is lifted over it again.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopRow();
    void buildSizeRows();
    void buildColorRows();
    void buildToolRows();
    void buildBottomRow();
    void setToolTips();
    void addImageLine(const QString& picture);
    static void centreRing(QColorRadio* radio);
    // Back to size 1, red and the pen on the strip only; nothing is sent to the board.
    void resetChoices();
    void updateColorRings();
    // Carries out a key's command as a click on the strip's button for it would.
    void runBoardCommand(BoardCommand command);
    // Makes the main window stay above `board` (null: above nothing in particular).
    void keepAbove(QWidget* board);
    // Gives the open board the keyboard after a tool was chosen on the strip.
    void focusBoard();
    // Asks for the picture of `area`, the board's screen.
    void takePicture(const QRect& area, qreal ratio);
    // The capture for a board has come back: open the board, or say why not.
    void captured(const QRect& area, qreal ratio, const QPixmap& pixels, const QString& failure);
    // Shows `board` as the open board (its history replaced by `restored`
    // when given) and starts its journal.
    void showBoard(std::unique_ptr<Screenview> board, const BoardState* restored);
    void closeBoard();
    void startJournal();
    void setWidth(int width);
    void setColor(int r, int g, int b);

    QVBoxLayout* mainLayout = nullptr;
    QPushButton* menuButton = nullptr;
    QPushButton* openButton = nullptr;
    QButtonGroup* sizeGroup = nullptr;
    std::array<QRadioButton*, 5> sizeButtons{};
    QPushButton* customSizeButton = nullptr;
    QButtonGroup* colorGroup = nullptr;
    std::array<QColorRadio*, 8> colorRadios{};
    std::vector<QColorRadio*> colorRadioList;
    QButtonGroup* toolGroup = nullptr;
    // The tool buttons by item type, then the commands by their own ids.
    std::map<int, QRadioButton*> toolButtons;
    QPushButton* optionButton = nullptr;
    QPushButton* helperButton = nullptr;
    std::unique_ptr<Screenview> canvas;
    std::unique_ptr<Screenview> lastBoard;
    int lastBadge = 0;
    std::unique_ptr<BoardJournal> journal;
    // Group id of the colour swatch whose colour the open board draws with.
    int penColour = 0;
    bool capturing = false;
    // The strip as it stood before it left the screen for the picture, and
    // how often a picture that still showed it was taken again.
    StripInPicture stripBefore;
    int retakes = 0;
    QWidget* mainWindow = nullptr;
};
