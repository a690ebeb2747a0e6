#pragma once

// The keys that work on the board: which key gives which command, and the
// text of each key for tooltips, menus and the help page.

#include <QKeySequence>
#include <QString>

class QKeyEvent;

enum class BoardCommand {
    None,
    Pen,
    Line,
    Arrow,
    Rectangle,
    FilledRectangle,
    Ellipse,
    FilledEllipse,
    Text,
    Badge,
    Tick,
    Cross,
    Eraser,
    SelectArea,
    ColorPicker,
    Highlighter,
    Laser,
    WhiteBoard,
    BlackBoard,
    Colour1,
    Colour2,
    Colour3,
    Colour4,
    Colour5,
    Colour6,
    Colour7,
    Colour8,
    SmallerPen,
    LargerPen,
    Undo,
    Redo,
    Save,
    Copy,
    Print,
    ZoomIn,
    ZoomOut,
    ZoomOriginal,
    Clear,
};

namespace BoardKeys {

// The command a key press on the board gives; None for any other key.
BoardCommand commandFor(const QKeyEvent& event);
BoardCommand commandFor(int key, Qt::KeyboardModifiers modifiers);

// The command's key (the first, where there are several), empty for none.
QKeySequence keyOf(BoardCommand command);

// "pen (P)": a tooltip or menu text with the command's key added, as the
// desktop writes keys; the text alone for a command with no key.
QString withKey(const QString& text, BoardCommand command);

} // namespace BoardKeys
