#pragma once

#include "panel/StripInPicture.h"

#include <QRect>
#include <QWidget>

#include <array>
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
class Screenview;

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
    void setPen();
    void setEarser();
    void setArrow();
    void setLine();
    void setRectBrush();
    void setNullRectBrush();
    void setEllipseBrush();
    void setNullEllipseBrush();
    void setMarkpen();
    void setRightSymbolImage();
    void setTextInput();
    void setSelectedRect();
    void setWrongSymbolImage();
    void setZoomout();
    void setZoomin();
    void setRestoreZoom();
    void setRedo();
    void setUndo();
    void setPrint();
    void setClearBoard();
    void setNewPainter();
    void setCopyBoard();
    void setColorPicker();
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
    void addImageLine(const QString& picture);
    static void centreRing(QColorRadio* radio);
    // Back to size 1, red and the pen on the strip only; nothing is sent to the board.
    void resetChoices();
    void updateColorRings();
    // Makes the main window stay above `board` (null: above nothing in particular).
    void keepAbove(QWidget* board);
    // Gives the open board the keyboard after a tool was chosen on the strip.
    void focusBoard();
    // Asks for the picture of `area`, the board's screen.
    void takePicture(const QRect& area, qreal ratio);
    // The capture for a board has come back: open the board, or say why not.
    void captured(const QRect& area, qreal ratio, const QPixmap& pixels, const QString& failure);
    // Makes a dialog of the strip's belong to the open board, if any.
    void belongToBoard(QWidget* dialog) const;
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
    std::array<QRadioButton*, 24> toolButtons{};
    QPushButton* optionButton = nullptr;
    QPushButton* helperButton = nullptr;
    std::unique_ptr<Screenview> canvas;
    // Group id of the colour swatch whose colour the open board draws with.
    int penColour = 0;
    bool capturing = false;
    // The strip as it stood before it left the screen for the picture, and
    // how often a picture that still showed it was taken again.
    StripInPicture stripBefore;
    int retakes = 0;
    QWidget* mainWindow = nullptr;
};
