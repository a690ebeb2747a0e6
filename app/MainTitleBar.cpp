#include "app/MainTitleBar.h"

#include "settings/UiGlobalSettings.h"
#include "widgets/Button.h"
#include "widgets/PubLabel.h"

#include <QColor>
#include <QHBoxLayout>
#include <QPainter>

MainTitleBar::MainTitleBar(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(25);
    setMouseTracking(true);

    title = new PubLabel(this);
    title->setText(UiGlobalSettings::instance()->appName(), false);
    title->setAlignment(Qt::AlignLeft);
    title->setMouseTracking(true);
    title->setTextColor(QColor(255, 255, 255));

    closeBtn = new Button(QStringLiteral(":/main/resource/close.png"), 1, 4, QString(), this);
    closeBtn->setObjectName(QStringLiteral("titleCloseButton"));
    closeBtn->setFixedSize(9, 9);
    closeBtn->setToolTip(tr("Exit"));
    connect(closeBtn, &Button::clicked, this, &MainTitleBar::onButtonClicked);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->addWidget(title);
    layout->addWidget(closeBtn);
}

void MainTitleBar::setTitle(const QString& text)
{
    title->setText(text, true);
}

void MainTitleBar::onButtonClicked()
{
    if (sender() == closeBtn)
        emit clicked(CloseButton);
}

void MainTitleBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
}

void MainTitleBar::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(52, 52, 52));
}
