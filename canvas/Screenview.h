#pragma once

#include "canvas/BoardKeys.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class BoardInput;
class ColorPicker;
class GraphManager;
class ItemFactory;
class LaserPointer;
class QAction;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QPaintEvent;
class QTabletEvent;
class QTouchEvent;
class QTextEditer;
class QWheelEvent;
class TextEntry;
class TouchInput;
struct ScreenSnapshot;

// The full-screen board: the frozen snapshot of one screen with everything
// drawn on it, covering exactly that screen. It hands pointer input to its
// BoardInput, which turns it into drawn items (kept by its GraphManager),
// hosts the text editors, the colour picker and the context menus, and
// shows the composed image.
class Screenview : public QWidget
{
    Q_OBJECT

public:
    // Takes its snapshot of the primary screen.
    explicit Screenview(QWidget* parent = nullptr);
    // Covers the snapshot's screen with it.
    explicit Screenview(const ScreenSnapshot& snapshot, QWidget* parent = nullptr);
    ~Screenview() override;

    // Numbers the marker badges of every canvas in the process; the tool
    // panel resets it whenever the board is opened or closed.
    static int& markNumber;

    void toggleVisible();
    // Pen width and colour apply to items begun afterwards only.
    void setPenWidth(int width);
    void setPenColor(int r, int g, int b, int a);

    // Chooses the tool that draws items of `type` (a GraphType).
    void chooseTool(int type);
    void selectPen();
    void selectEraser();
    void selectLine();
    void selectArrow();
    void selectRect(bool filled);
    void selectEllipse(bool filled);
    void selectMarkPen();
    void selectText();
    void selectRightSymbol();
    void selectWrongSymbol();
    void selectArea();
    void selectColorPicker();
    void selectHighlighter();
    void selectLaser();
    // Whether a stylus's pressure sets the width of its strokes.
    void setPressureWidth(bool on);

    void zoomIn();
    void zoomOut();
    void restoreZoom();

    void undo();
    void redo();
    void print();
    void saveAs();
    // Copies the whole board to the system clipboard.
    void copyAll();
    // Copies the selection the board shows, or the whole board with none.
    void copySelectionOrAll();
    void clearBoard();
    // Shows the board on white (or black) instead of the snapshot; the
    // same again goes back to the snapshot.
    void toggleWhiteBoard();
    void toggleBlackBoard();
    // Asks whether to quit the program; on Yes frees the history and quits.
    void requestExit();
    // Called by a text editor when its entry ends.
    void commitText(const QString& text);
    // Builds the context menus again in the current language.
    void retranslate();

    GraphManager* manager() const { return graphManager.get(); }
    // The screen area the board covers and that screen's pixel ratio.
    QRect boardGeometry() const { return screenRect; }
    qreal boardRatio() const { return ratio; }
    int tool() const;
    int currentPenWidth() const;
    bool isZoomMode() const;
    bool isPickerActive() const;
    bool isTextEditing() const;
    QTextEditer* openEditor() const;
    const QList<QTextEditer*>& editors() const;
    // Built when first needed, or once the board is on the screen.
    QMenu* mainContextMenu();
    QMenu* selectionContextMenu();

public slots:
    void onMenuTrigged(QAction* action);

signals:
    // A key on the board asked for a command. The strip carries it out as a
    // click on its button would, so it shows what the key chose.
    void commandKey(BoardCommand command);
    // The history changed: an item was finished, undone, redone or
    // cleared, or typed text was committed.
    void historyChanged();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
#if QT_CONFIG(tabletevent)
    void tabletEvent(QTabletEvent* e) override;
#endif
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    friend class BoardInput;

    // Drawing positions are device pixels: the logical position times the
    // device pixel ratio of the board's screen.
    QPoint toDevice(const QPoint& logical) const;
    QPoint toLogical(const QPoint& device) const;

    // Repaints only the window area the last drawing changes touched.
    void updateChanged();
    void movePicker(const QPoint& globalPos);
    void toggleBackdrop(bool white);
    void buildMenus();
    void openContextMenu(const QPoint& boardPos);

    std::unique_ptr<GraphManager> graphManager;
    std::unique_ptr<ItemFactory> itemFactory;
    std::unique_ptr<TextEntry> textEntry;
    std::unique_ptr<BoardInput> input;
    std::unique_ptr<TouchInput> touch;
    LaserPointer* laser = nullptr;
    ColorPicker* colorPicker = nullptr;
    bool shown = false;
    QMenu* mainMenu = nullptr;
    QMenu* selectionMenu = nullptr;
    std::map<QAction*, std::function<void()>> actionHandlers;
    QRect screenRect;
    qreal ratio = 1.0;
    // Whether the canvas was asked to take its own copy of the snapshot.
    bool canvasOwned = false;
};
