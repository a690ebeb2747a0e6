// The board's commands, as the strip, its keys and its menus give them:
// zoom, undo and redo, print, copy, save, clear, exit, the text written in
// the editor, the board menu and the background.

#include "canvas/Screenview.h"

#include "canvas/BoardInput.h"
#include "canvas/CanvasView.h"
#include "canvas/ColorPicker.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/ItemFactory.h"
#include "canvas/QTextEditer.h"
#include "canvas/TextEntry.h"
#include "widgets/MsgBox.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>

using Mode = BoardInput::Mode;

void Screenview::zoomIn()
{
    input->setMode(Mode::Pan);
    if (graphManager) {
        graphManager->zoomIn();
    }
}

void Screenview::zoomOut()
{
    input->setMode(Mode::Pan);
    if (graphManager) {
        graphManager->zoomOut();
    }
}

void Screenview::restoreZoom()
{
    input->setMode(Mode::Draw);
    if (graphManager) {
        graphManager->resetZoom();
    }
}

void Screenview::undo()
{
    // An open text entry stays open; zoom and the picker are put away.
    if (input->mode() != Mode::Type) {
        input->setMode(Mode::Draw);
    }
    if (graphManager) {
        graphManager->undo();
    }
    updateChanged();
    emit historyChanged();
}

void Screenview::redo()
{
    if (input->mode() != Mode::Type) {
        input->setMode(Mode::Draw);
    }
    if (graphManager) {
        graphManager->redo();
    }
    updateChanged();
    emit historyChanged();
}

void Screenview::print()
{
    input->setMode(Mode::Draw);
    if (graphManager) {
        graphManager->print();
    }
}

void Screenview::copyAll()
{
    if (graphManager) {
        graphManager->copyAll();
    }
}

void Screenview::copySelectionOrAll()
{
    if (!graphManager) {
        return;
    }
    const QRect shown = graphManager->visibleSelection();
    if (shown.isEmpty()) {
        copyAll();
    } else {
        graphManager->canvas()->copyRect(QRectF(shown));
    }
}

void Screenview::saveAs()
{
    if (graphManager) {
        graphManager->saveAll();
    }
}

void Screenview::clearBoard()
{
    // Text being typed is part of what is cleared: committed first, so one
    // undo brings it back with the rest.
    if (QTextEditer* editor = textEntry->open()) {
        commitText(editor->text());
    }
    if (graphManager) {
        graphManager->clear();
    }
    updateChanged();
    emit historyChanged();
}

void Screenview::requestExit()
{
    // Belonging to the board keeps the question above it and on its screen.
    const int answer = MsgBox::question(this, tr("Tips"), tr("Whether it is necessary to exit the software?"),
                                        QMessageBox::Yes | QMessageBox::No, 0);
    if (answer != QMessageBox::Yes) {
        return;
    }
    graphManager.reset();
    QCoreApplication::quit();
}

void Screenview::commitText(const QString& text)
{
    if (input->mode() == Mode::Type) {
        input->setMode(Mode::Draw);
    }
    textEntry->close();
    if (!graphManager) {
        return;
    }
    if (text.isEmpty()) {
        // Nothing was typed: the text item would only make undo look broken.
        graphManager->discardCurrent(Text);
        emit historyChanged();
        return;
    }
    graphManager->setText(text);
    updateChanged();
    emit historyChanged();
}

void Screenview::openContextMenu(const QPoint& boardPos)
{
    // The selection menu is for the marquee the board shows.
    QMenu* menu = mainContextMenu();
    if (tool() == SelectArea && graphManager && graphManager->selectionContains(boardPos)) {
        menu = selectionContextMenu();
    }
    menu->exec(QCursor::pos());
}

void Screenview::toggleWhiteBoard() { toggleBackdrop(true); }
void Screenview::toggleBlackBoard() { toggleBackdrop(false); }

void Screenview::toggleBackdrop(bool white)
{
    if (!graphManager) {
        return;
    }
    using Backdrop = GraphManager::Backdrop;
    const Backdrop plain = white ? Backdrop::White : Backdrop::Black;
    graphManager->setBackdrop(graphManager->backdrop() == plain ? Backdrop::Snapshot : plain);
    updateChanged();
    // Journalled like a change of the history, though undo leaves it.
    emit historyChanged();
}
