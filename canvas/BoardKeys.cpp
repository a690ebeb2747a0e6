// The board's key table, and matching key presses against it.

#include "canvas/BoardKeys.h"

#include <QKeyEvent>

namespace {

struct KeyEntry {
    BoardCommand command;
    int keys; // key code with its modifiers, as QKeySequence takes it
};

// First entry of a command is the one shown.
const KeyEntry kKeys[] = {
    {BoardCommand::Pen, Qt::Key_P},
    {BoardCommand::Line, Qt::Key_L},
    {BoardCommand::Arrow, Qt::Key_A},
    {BoardCommand::Rectangle, Qt::Key_R},
    {BoardCommand::FilledRectangle, Qt::SHIFT | Qt::Key_R},
    {BoardCommand::Ellipse, Qt::Key_O},
    {BoardCommand::FilledEllipse, Qt::SHIFT | Qt::Key_O},
    {BoardCommand::Text, Qt::Key_T},
    {BoardCommand::Badge, Qt::Key_N},
    {BoardCommand::Tick, Qt::Key_V},
    {BoardCommand::Cross, Qt::Key_X},
    {BoardCommand::Eraser, Qt::Key_E},
    {BoardCommand::SelectArea, Qt::Key_S},
    {BoardCommand::ColorPicker, Qt::Key_I},
    {BoardCommand::Highlighter, Qt::Key_H},
    {BoardCommand::Laser, Qt::Key_G},
    {BoardCommand::WhiteBoard, Qt::Key_W},
    {BoardCommand::BlackBoard, Qt::Key_K},
    {BoardCommand::Colour1, Qt::Key_1},
    {BoardCommand::Colour2, Qt::Key_2},
    {BoardCommand::Colour3, Qt::Key_3},
    {BoardCommand::Colour4, Qt::Key_4},
    {BoardCommand::Colour5, Qt::Key_5},
    {BoardCommand::Colour6, Qt::Key_6},
    {BoardCommand::Colour7, Qt::Key_7},
    {BoardCommand::Colour8, Qt::Key_8},
    {BoardCommand::SmallerPen, Qt::Key_BracketLeft},
    {BoardCommand::LargerPen, Qt::Key_BracketRight},
    {BoardCommand::Undo, Qt::CTRL | Qt::Key_Z},
    {BoardCommand::Redo, Qt::CTRL | Qt::Key_Y},
    {BoardCommand::Redo, Qt::CTRL | Qt::SHIFT | Qt::Key_Z},
    {BoardCommand::Save, Qt::CTRL | Qt::Key_S},
    {BoardCommand::Copy, Qt::CTRL | Qt::Key_C},
    {BoardCommand::Print, Qt::CTRL | Qt::Key_P},
    {BoardCommand::ZoomIn, Qt::CTRL | Qt::Key_Plus},
    {BoardCommand::ZoomIn, Qt::CTRL | Qt::Key_Equal},
    {BoardCommand::ZoomOut, Qt::CTRL | Qt::Key_Minus},
    {BoardCommand::ZoomOriginal, Qt::CTRL | Qt::Key_0},
    {BoardCommand::Clear, Qt::Key_Delete},
};

BoardCommand lookUp(int keys)
{
    for (const KeyEntry& entry : kKeys) {
        if (entry.keys == keys)
            return entry.command;
    }
    return BoardCommand::None;
}

} // namespace

namespace BoardKeys {

BoardCommand commandFor(int key, Qt::KeyboardModifiers modifiers)
{
    // The number pad's digits and signs are the same keys; Meta and Alt
    // combinations belong to the desktop.
    modifiers &= ~Qt::KeypadModifier;
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return BoardCommand::None;
    const int wanted = key | int(modifiers);
    BoardCommand command = lookUp(wanted);
    // Symbols that need Shift on some layouts ("+" on US keyboards) count
    // without it; letters with Shift are commands of their own.
    const bool letter = key >= Qt::Key_A && key <= Qt::Key_Z;
    if (command == BoardCommand::None && !letter && (modifiers & Qt::ShiftModifier))
        command = lookUp(wanted & ~int(Qt::ShiftModifier));
    return command;
}

BoardCommand commandFor(const QKeyEvent& event)
{
    return commandFor(event.key(), event.modifiers());
}

QKeySequence keyOf(BoardCommand command)
{
    for (const KeyEntry& entry : kKeys) {
        if (entry.command == command)
            return QKeySequence(entry.keys);
    }
    return QKeySequence();
}

QString withKey(const QString& text, BoardCommand command)
{
    const QKeySequence key = keyOf(command);
    if (key.isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText));
}

} // namespace BoardKeys
