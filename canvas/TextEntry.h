#pragma once

// The text editors the text tool opens on the board: the one being typed
// into and those whose entry ended (kept, hidden, for the board's lifetime).

#include <QList>
#include <QPoint>

class QTextEditer;
class Screenview;

class TextEntry
{
public:
    explicit TextEntry(Screenview& board);

    QTextEditer* open() const { return active; }
    const QList<QTextEditer*>& editors() const { return all; }

    // A new editor with its baseline on `logicalPos` (the board's widget
    // coordinates), with the keyboard.
    void openAt(const QPoint& logicalPos);
    // Moves the open editor's baseline to `logicalPos`.
    void moveTo(const QPoint& logicalPos);
    // Ends the open entry: its text reaches the board through commitText.
    void close();

private:
    Screenview& board;
    QList<QTextEditer*> all;
    QTextEditer* active = nullptr;
};
