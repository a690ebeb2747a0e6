#include "widgets/PubLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

PubLabel::PubLabel(QWidget* parent) : QWidget(parent) {}

void PubLabel::setText(const QString& text, bool translateIt)
{
    translate = translateIt;
    if (text == text_)
        return;
    text_ = text;
    update();
}

void PubLabel::setAlignment(int value)
{
    alignment = value;
    update();
}

void PubLabel::setTextColor(const QColor& color)
{
    textColor = color;
    update();
}

void PubLabel::setPixmap(const QPixmap& value)
{
    pixmap = value;
    update();
}

void PubLabel::setBorderWidth(int width)
{
    borderWidth = width;
    update();
}

void PubLabel::setBorderColor(const QColor& color)
{
    borderColor = color;
    update();
}

void PubLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!pixmap.isNull()) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QSize size = pixmap.size() / pixmap.devicePixelRatio();
        painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, pixmap);
    }
    if (!text_.isEmpty()) {
        QString shown = translate ? tr(text_.toUtf8().constData()) : text_;
        const QRect textRect(2, 2, width() - 4, height() - 4);
        if (textRect.width() < 0)
            shown = painter.fontMetrics().elidedText(shown, Qt::ElideRight, textRect.width());
        painter.setPen(textColor);
        painter.drawText(textRect, alignment, shown);
    }
    if (borderWidth > 0) {
        painter.setPen(QPen(QBrush(borderColor), borderWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(borderWidth, borderWidth, width() - 2 * borderWidth, height() - 2 * borderWidth);
    }
}
