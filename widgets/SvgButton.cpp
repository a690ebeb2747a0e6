#include "widgets/SvgButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QSvgRenderer>

SvgButton::SvgButton(const QString& normal, const QString& hover, const QString& pressed, const QString& disabled,
                     QWidget* parent)
    : QPushButton(parent),
      normalPath(normal),
      hoverPath(hover),
      pressedPath(pressed),
      disabledPath(disabled),
      normalRenderer(new QSvgRenderer(normal, this)),
      hoverRenderer(new QSvgRenderer(hover, this)),
      pressedRenderer(new QSvgRenderer(pressed, this)),
      disabledRenderer(new QSvgRenderer(disabled, this))
{
    // The hover picture needs a repaint when the pointer enters and leaves.
    setAttribute(Qt::WA_Hover);
}

void SvgButton::setTextAlignment(int flags)
{
    alignment = flags;
    update();
}

void SvgButton::setTextMargins(int left, int top, int right, int bottom)
{
    marginLeft = left;
    marginTop = top;
    marginRight = right;
    marginBottom = bottom;
    update();
}

void SvgButton::setIconSvg(const QString& path, int x, int y)
{
    iconPath = path;
    iconX = x;
    iconY = y;
    delete iconRenderer;
    iconRenderer = path.isEmpty() ? nullptr : new QSvgRenderer(path, this);
    update();
}

int SvgButton::currentState() const
{
    QStyleOptionButton option;
    option.initFrom(this);
    if (isDown())
        option.state |= QStyle::State_Sunken;
    if (!isEnabled())
        return 3;
    if (option.state & QStyle::State_Sunken)
        return 2;
    if (option.state & QStyle::State_MouseOver)
        return 1;
    return 0;
}

void SvgButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QStyleOptionButton option;
    initStyleOption(&option);
    drawButton(&painter, &option);
}

void SvgButton::drawButton(QPainter* painter, QStyleOptionButton* option)
{
    QSvgRenderer* const byState[] = {normalRenderer, hoverRenderer, pressedRenderer, disabledRenderer};
    QSvgRenderer* renderer = byState[currentState()];
    if (renderer && renderer->isValid())
        renderer->render(painter, QRectF(rect()));

    if (iconRenderer && iconRenderer->isValid()) {
        const QSize size = iconRenderer->defaultSize();
        iconRenderer->render(painter, QRectF(iconX + 3, iconY + (height() - size.height()) / 2, size.width(),
                                             size.height()));
    }

    const QRect textRect = option->rect.adjusted(marginLeft, marginTop, 0, 0);
    style()->drawItemText(painter, textRect, alignment, option->palette, isEnabled(), text(),
                          QPalette::ButtonText);
}
