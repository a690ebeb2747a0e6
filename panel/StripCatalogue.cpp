// The strip's sizes, colours and commands.

#include "panel/StripCatalogue.h"

#include <QtGlobal>

namespace StripCatalogue {

const std::array<SizeEntry, 5> kSizes = {{
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 1"), "size1_radio_btn", 10, &PaintControlScene::setPenSize1},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 2"), "size2_radio_btn", 15, &PaintControlScene::setPenSize2},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 3"), "size3_radio_btn", 20, &PaintControlScene::setPenSize3},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 4"), "size4_radio_btn", 25, &PaintControlScene::setPenSize4},
    {QT_TRANSLATE_NOOP("PaintControlScene", "size 5"), "size5_radio_btn", 30, &PaintControlScene::setPenSize5},
}};

const std::array<ColorEntry, 8> kColors = {{
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
}};

const std::array<CommandEntry, 10> kCommands = {{
    {QT_TRANSLATE_NOOP("PaintControlScene", "zoom in"), "zoomin_radio_btn", 100, &PaintControlScene::setZoomin, BoardCommand::ZoomIn},
    {QT_TRANSLATE_NOOP("PaintControlScene", "zoom out"), "zoomout_radio_btn", 101, &PaintControlScene::setZoomout, BoardCommand::ZoomOut},
    {QT_TRANSLATE_NOOP("PaintControlScene", "undo"), "undo_radio_btn", 102, &PaintControlScene::setUndo, BoardCommand::Undo},
    {QT_TRANSLATE_NOOP("PaintControlScene", "redo"), "redo_radio_btn", 103, &PaintControlScene::setRedo, BoardCommand::Redo},
    {QT_TRANSLATE_NOOP("PaintControlScene", "print"), "print_radio_btn", 104, &PaintControlScene::setPrint, BoardCommand::Print},
    {QT_TRANSLATE_NOOP("PaintControlScene", "clear board"), "clearboard_radio_btn", 105, &PaintControlScene::setClearBoard, BoardCommand::Clear},
    {QT_TRANSLATE_NOOP("PaintControlScene", "new painter board"), "newboard_radio_btn", 106, &PaintControlScene::setNewPainter, BoardCommand::None},
    {QT_TRANSLATE_NOOP("PaintControlScene", "copy board"), "copyboard_radio_btn", 107, &PaintControlScene::setCopyBoard, BoardCommand::Copy},
    {QT_TRANSLATE_NOOP("PaintControlScene", "save"), "save_radio_btn", 108, &PaintControlScene::setSaveAs, BoardCommand::Save},
    {QT_TRANSLATE_NOOP("PaintControlScene", "exit application"), "exit_radio_btn", 109, &PaintControlScene::setExitApp, BoardCommand::None},
}};

BoardCommand colourKey(int index)
{
    return static_cast<BoardCommand>(static_cast<int>(BoardCommand::Colour1) + index);
}

const char kOpenStyle[] =
    "QPushButton#open_btn {border-image: url(\":/main/resource/open1.png\");background-color: transparent;}";
const char kOffStyle[] =
    "QPushButton#open_btn {border-image: url(\":/main/resource/off1.png\");background-color: transparent;}";

} // namespace StripCatalogue
