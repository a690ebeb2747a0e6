#include "widgets/Button.h"

#include <QMouseEvent>
#include <QPainter>

Button::Button(const QString& sprite, int columns, int rows, const QString& sizeHintImage, QWidget* parent)
    : QPushButton(parent)
{
    const QPixmap sheet(sprite);
    if (!sheet.isNull() && columns > 0 && rows > 0) {
        const int w = sheet.width() / columns;
        const int h = sheet.height() / rows;
        // Column by column: all rows of column 0 first.
        for (int c = 0; c < columns && w > 0 && h > 0; ++c)
            for (int r = 0; r < rows; ++r)
                pixmaps.append(sheet.copy(c * w, r * h, w, h));
    }
    if (!sizeHintImage.isEmpty())
        sizeHintPixmap.load(sizeHintImage);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize Button::sizeHint() const
{
    if (!sizeHintPixmap.isNull())
        return sizeHintPixmap.size();
    if (!pixmaps.isEmpty())
        return pixmaps.first().size();
    return QPushButton::sizeHint();
}

void Button::setIndex(int index)
{
    curIndex = index;
    update();
}

void Button::enterEvent(QEvent* event)
{
    setIndex(pixmaps.size() > 1 ? 1 : 0);
    QPushButton::enterEvent(event);
}

void Button::leaveEvent(QEvent* event)
{
    setIndex(0);
    QPushButton::leaveEvent(event);
}

void Button::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && pixmaps.size() > 2)
        setIndex(2);
    QPushButton::mousePressEvent(event);
}

void Button::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && pixmaps.size() > 1)
        setIndex(1);
    QPushButton::mouseReleaseEvent(event);
}

void Button::paintEvent(QPaintEvent*)
{
    if (curIndex < 0 || curIndex >= pixmaps.size())
        return;
    QPainter painter(this);
    painter.drawPixmap(rect(), pixmaps.at(curIndex));
}
