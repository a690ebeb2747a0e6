#include "widgets/QMenuItem.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

QMenuItem::QMenuItem(bool hasIcon) : QWidget(nullptr), hasIcon(hasIcon)
{
    auto* layout = new QHBoxLayout(this);
    if (hasIcon) {
        icon = new QLabel(this);
        icon->setFixedSize(20, 20);
        layout->addWidget(icon);
    }
    label = new QLabel(this);
    label->setStyleSheet(QStringLiteral("font-family:Microsoft YaHei;font-size:14px;"));
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    layout->addStretch();
    layout->setSpacing(10);
    layout->setContentsMargins(10, 0, 0, 0);
    setFixedHeight(30);
    setAttribute(Qt::WA_TranslucentBackground);
}

void QMenuItem::enterEvent(QEvent* event)
{
    hovered = true;
    update();
    QWidget::enterEvent(event);
}

void QMenuItem::leaveEvent(QEvent* event)
{
    hovered = false;
    update();
    QWidget::leaveEvent(event);
}

void QMenuItem::mouseReleaseEvent(QMouseEvent* event)
{
    emit signalMenuClicked(id);
    QWidget::mouseReleaseEvent(event);
}

void QMenuItem::paintEvent(QPaintEvent*)
{
    if (!hovered)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(215, 215, 215, 150));
}
