#pragma once

#include <QFont>
#include <QLineEdit>
#include <QPoint>

class Screenview;

// The small single-line editor the text tool opens on the canvas. It grows
// and shrinks with its text and hands the text to the canvas when the entry
// ends (Enter, Return or focus loss).
class QTextEditer : public QLineEdit
{
    Q_OBJECT

public:
    explicit QTextEditer(Screenview* parent);

    // The font typed text is shown in; the text renderer paints with the same.
    static QFont textFont();

    // Keeps the left end of the text's baseline on `point` (the canvas's
    // widget coordinates), now and after every resize, so committed text
    // (painted with its baseline on the press point) stays where it was typed.
    void placeBaselineAt(const QPoint& point);

    // Where the left end of the text's baseline lies inside the editor.
    QPoint baselineOrigin() const;

public slots:
    void slt_autoResize();
    void slt_editEnd();

private:
    QPoint baselineAnchor;
    bool anchored = false;
    // Set while the text is being handed to the canvas, whose closing of the
    // editor ends the entry a second time.
    bool handingOver = false;
};
