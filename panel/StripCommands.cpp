// What the strip's buttons and the board's keys do: pen sizes and colours,
// tools, and the commands sent on to the open board.

#include "panel/PaintControlScene.h"

#include "canvas/GraphType.h"
#include "canvas/Screenview.h"
#include "canvas/ToolTable.h"
#include "panel/IMainWindow.h"
#include "panel/StripCatalogue.h"
#include "settings/ConfigStore.h"
#include "settings/HelpPage.h"
#include "widgets/PenSizeWindow.h"
#include "widgets/QColorRadio.h"
#include "widgets/SettingWindow.h"

#include <QButtonGroup>
#include <QColor>
#include <QColorDialog>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

using namespace StripCatalogue;

void PaintControlScene::chooseTool(int type)
{
    if (!canvas)
        return;
    canvas->chooseTool(type);
    focusBoard();
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

void PaintControlScene::runBoardCommand(BoardCommand command)
{
    if (!canvas)
        return;
    switch (command) {
    case BoardCommand::Copy:
        canvas->copySelectionOrAll();
        return;
    case BoardCommand::ZoomOriginal:
        setRestoreZoom();
        return;
    case BoardCommand::WhiteBoard:
        canvas->toggleWhiteBoard();
        return;
    case BoardCommand::BlackBoard:
        canvas->toggleBlackBoard();
        return;
    case BoardCommand::SmallerPen:
    case BoardCommand::LargerPen: {
        // From a custom size both go to the nearest of the strip's own sizes.
        const int last = static_cast<int>(sizeButtons.size()) - 1;
        const int at = sizeGroup->checkedId();
        int next = command == BoardCommand::SmallerPen ? at - 1 : at + 1;
        if (at < 0 || at > last)
            next = last;
        sizeButtons[std::clamp(next, 0, last)]->click();
        return;
    }
    default:
        break;
    }
    for (int i = 0; i < 8; ++i) {
        if (colourKey(i) == command) {
            colorRadios[i]->click();
            return;
        }
    }
    if (const ToolRow* tool = ToolTable::rowForKey(command)) {
        toolButtons[tool->type]->click();
        return;
    }
    for (const CommandEntry& entry : kCommands) {
        if (entry.key == command) {
            toolButtons[entry.id]->click();
            return;
        }
    }
}

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

void PaintControlScene::setCopyBoard()
{
    if (!canvas)
        return;
    canvas->copyAll();
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
    if (canvas)
        canvas->setPressureWidth(ConfigStore::instance()->getInt(QStringLiteral("StylusPressure")) != 0);
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
    // On the strip's screen, where it was asked for, not the primary one.
    const QScreen* screen = boardScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    menu->setGeometry(menuGeometryAt(QCursor::pos(), menu->size(), available));
    menu->show();
}

void PaintControlScene::setHelper()
{
    if (mainWindow)
        QDesktopServices::openUrl(HelpPage::url());
}
