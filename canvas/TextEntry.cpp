// Opening, moving and closing the board's text editors.

#include "canvas/TextEntry.h"

#include "canvas/QTextEditer.h"
#include "canvas/Screenview.h"

TextEntry::TextEntry(Screenview& board)
    : board(board)
{
}

void TextEntry::openAt(const QPoint& logicalPos)
{
    auto* editor = new QTextEditer(&board);
    active = editor;
    for (QTextEditer* other : qAsConst(all)) {
        other->clearFocus();
    }
    // The committed text is painted with its baseline on the press point,
    // so the editor's own baseline goes there too and the text stays put.
    editor->placeBaselineAt(logicalPos);
    editor->setVisible(true);
    editor->setFocus(Qt::OtherFocusReason);
    all.append(editor);
    board.update();
}

void TextEntry::moveTo(const QPoint& logicalPos)
{
    if (active) {
        active->placeBaselineAt(logicalPos);
    }
}

void TextEntry::close()
{
    QTextEditer* editor = active;
    active = nullptr;
    if (editor) {
        // Hiding alone keeps the focus when nothing else on the board takes
        // it, and the typed text would be lost; giving the focus up ends the
        // entry, which comes back through commitText.
        editor->clearFocus();
        editor->setVisible(false);
    }
}
