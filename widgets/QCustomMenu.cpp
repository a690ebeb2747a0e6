#include "widgets/QCustomMenu.h"

#include "widgets/QMenuItem.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>

QCustomMenu::QCustomMenu(QWidget* parent) : QWidget(parent)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowOpacity(0.9);
    setFixedWidth(180);

    listWidget = new QListWidget(this);
    listWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    listWidget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(15, 25, 15, 25);
    layout->addWidget(listWidget);

    setStyleSheet(QStringLiteral("QListView{border:none} QListView::item{background:transparent;}"));

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setOffset(0, 0);
    shadow->setColor(Qt::gray);
    shadow->setBlurRadius(15);
    setGraphicsEffect(shadow);

    setFixedHeight(currentHeight);
}

void QCustomMenu::addMenuItem(const QIcon& icon, const QString& text, int id)
{
    auto* row = new QMenuItem(!icon.isNull());
    if (!icon.isNull())
        row->iconLabel()->setPixmap(icon.pixmap(QSize(20, 20), QIcon::Normal, QIcon::Off));
    row->textLabel()->setText(text);
    row->textLabel()->setScaledContents(true);
    row->setId(id);
    connect(row, &QMenuItem::signalMenuClicked, this, &QCustomMenu::onMenuItemClicked);

    auto* item = new QListWidgetItem(listWidget);
    item->setSizeHint(QSize(150, 30));
    listWidget->setItemWidget(item, row);

    currentHeight += 30;
    ++rows;
    setFixedHeight(currentHeight);
}

void QCustomMenu::setMenuItemText(int id, const QString& text)
{
    for (int i = 0; i < listWidget->count(); ++i) {
        auto* row = qobject_cast<QMenuItem*>(listWidget->itemWidget(listWidget->item(i)));
        if (row && row->itemId() == id)
            row->textLabel()->setText(text);
    }
}

void QCustomMenu::onMenuItemClicked(int menuItemIndex)
{
    // Put away first: a row may open a modal dialog, which must not come up
    // under a menu still standing on the screen.
    hide();
    emit menuItemClicked(menuItemIndex);
}

void QCustomMenu::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRect(15, 15, width() - 30, height() - 30), 5, 5);
}
