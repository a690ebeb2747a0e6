#include "widgets/AboutWidget.h"

#include "settings/HelpPage.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QWidget>

namespace {

const QString kSmallText = QStringLiteral("font-family: Microsoft YaHei;font-size: 12px;color:#000000;");

}  // namespace

AboutWidget::AboutWidget(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("AboutWidget"));
    resize(478, 371);
    shadowWidget = new QWidget(this);
    shadowWidget->setObjectName(QStringLiteral("shadowWidget"));
    shadowWidget->setGeometry(0, 0, 478, 371);
    captionWidget = new QWidget(shadowWidget);
    captionWidget->setObjectName(QStringLiteral("captionWidget"));
    captionWidget->setGeometry(0, 0, 478, 35);
    closeButton = new QPushButton(captionWidget);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(440, 0, 30, 35);
    aboutTitle = new QLabel(captionWidget);
    aboutTitle->setObjectName(QStringLiteral("aboutTitle"));
    aboutTitle->setGeometry(10, 10, 54, 20);
    productName = new QLabel(this);
    productName->setObjectName(QStringLiteral("productName"));
    productName->setGeometry(160, 220, 201, 31);
    appIcon = new QLabel(this);
    appIcon->setObjectName(QStringLiteral("appIcon"));
    appIcon->setGeometry(190, 110, 96, 96);
    noticeLabel = new QLabel(this);
    noticeLabel->setObjectName(QStringLiteral("noticeLabel"));
    noticeLabel->setGeometry(90, 290, 321, 31);
    versionLabel = new QLabel(this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    versionLabel->setGeometry(190, 250, 171, 21);

    setStyleSheet(QStringLiteral("QWidget#shadowWidget {background-color:#ffffff;background-color:#FFFFFF;"
                                 "border:1px solid #1E90FF;}QWidget#captionWidget {background-color:#0189ff}"));
    closeButton->setStyleSheet(QStringLiteral(
        "QPushButton#closeButton{background-image:url(:/main/resource/close-btn-normal.png);width:30px;"
        "height:35px;border-style:flat;}"
        "QPushButton#closeButton:hover{background-image:url(:/main/resource/close-btn-hover.png);width:30px;"
        "height:35px;border-style:flat;}"
        "QPushButton#closeButton:pressed{background-image:url(:/main/resource/close-btn-pressed.png);"
        "width:30px;height:35px;border-style:flat;}"));

    setWindowTitle(tr("About..."));
    aboutTitle->setText(tr("About..."));
    aboutTitle->setStyleSheet(QStringLiteral("font-family: Microsoft YaHei;font-size: 12px;color:#ffffff;"));

    appIcon->setPixmap(QPixmap(QStringLiteral(":/main/resource/logo96.png")));

    productName->setStyleSheet(QStringLiteral("font-family: Microsoft YaHei;font-size: 18px;color:#000000;"));
    productName->setText(QStringLiteral("Scribbloom"));

    versionLabel->setText(QStringList{QString::number(1), QString::number(1), QString::number(6),
                                      QString::number(1429)}
                              .join(QLatin1Char('.')));
    versionLabel->setStyleSheet(kSmallText);

    noticeLabel->setStyleSheet(kSmallText);
    noticeLabel->setTextFormat(Qt::RichText);
    // The link leads to the help page installed with the program, so it
    // works offline; its address depends on where the program lies.
    noticeLabel->setText(tr("Free to use and share. How to use it: <a href=\"%1\">Help</a>")
                             .arg(HelpPage::url().toString()));
    connect(noticeLabel, &QLabel::linkActivated, this, [](const QString& link) {
        QDesktopServices::openUrl(QUrl(link));
    });

    connect(closeButton, &QPushButton::clicked, this, &AboutWidget::cancelSlot);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);

    // X11 has no hit-test message by which the system would drag a frameless
    // window: the caption's presses are watched here instead.
    captionWidget->installEventFilter(this);
}

void AboutWidget::cancelSlot()
{
    close();
}

bool AboutWidget::isCaptionAt(const QPoint& pos) const
{
    return childAt(pos) == captionWidget;
}

bool AboutWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != captionWidget)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        // Local positions only: under a reparenting window manager the
        // window's own idea of its screen position can be stale.
        if (e->button() != Qt::LeftButton || !isCaptionAt(captionWidget->mapTo(this, e->pos())))
            break;
        // The dialog follows the pointer itself, which works the same with
        // or without a window manager.
        dragging = true;
        dragOffset = e->globalPos() - frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove:
        if (dragging) {
            move(static_cast<QMouseEvent*>(event)->globalPos() - dragOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (dragging) {
            dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
