#include "canvas/QTextEditer.h"

#include "canvas/Screenview.h"
#include "canvas/graphs/IGraph.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// QLineEdit keeps this many pixels between its contents rectangle and the text.
constexpr int lineEditHorizontalMargin = 2;
}

QTextEditer::QTextEditer(Screenview* parent)
    : QLineEdit(parent)
{
    setStyleSheet(QStringLiteral("\t\tborder:1px solid rgb(41, 57, 85);\t\tborder-radius: 3px;"
                                 "background: rgb(240,236,236); \t\tselection-background-color: green;\t\t"));
    connect(this, SIGNAL(textChanged(QString)), this, SLOT(slt_autoResize()));
    connect(this, SIGNAL(editingFinished()), this, SLOT(slt_editEnd()));
}

QFont QTextEditer::textFont()
{
    // Typed in the font the committed text is painted in, so it stays put.
    return IGraph::itemFont();
}

void QTextEditer::slt_autoResize()
{
    const QFont font = textFont();
    setFont(font);
    const QFontMetrics metrics(font);
    setFixedWidth(metrics.horizontalAdvance(text()) + 6);
    setFixedHeight(metrics.height() + 2);
    // The new font and height move the baseline inside the editor.
    if (anchored) {
        move(baselineAnchor - baselineOrigin());
    }
}

void QTextEditer::slt_editEnd()
{
    if (handingOver) {
        return;
    }
    if (auto* canvas = qobject_cast<Screenview*>(parentWidget())) {
        handingOver = true;
        canvas->commitText(text());
        handingOver = false;
    }
    if (hasFocus()) {
        setDisabled(true);
        setVisible(false);
    }
}

void QTextEditer::placeBaselineAt(const QPoint& point)
{
    baselineAnchor = point;
    anchored = true;
    move(baselineAnchor - baselineOrigin());
}

QPoint QTextEditer::baselineOrigin() const
{
    // The same geometry QLineEdit paints its (unscrolled, vertically centred) line with.
    QStyleOptionFrame option;
    initStyleOption(&option);
    QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    contents = contents.marginsRemoved(textMargins());
    const QFontMetrics metrics = fontMetrics();
    const int lineTop = contents.y() + (contents.height() - metrics.height() + 1) / 2;
    // The width is fitted with the font's own metrics, which can come out a
    // little narrower than the text as drawn here; QLineEdit then scrolls
    // the text left so the cursor at its end stays visible.
    const int lineWidth = contents.width() - 2 * lineEditHorizontalMargin;
    const int widthUsed = metrics.horizontalAdvance(text()) + 1;
    const int cursorX = metrics.horizontalAdvance(text().left(cursorPosition()));
    const int scroll = (widthUsed > lineWidth && cursorX >= lineWidth) ? cursorX - lineWidth + 1 : 0;
    return QPoint(contents.x() + lineEditHorizontalMargin - scroll, lineTop + metrics.ascent());
}
