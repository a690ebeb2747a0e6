#include "widgets/MsgBox.h"

#include "widgets/StyleSheet.h"

#include "widgets/SvgButton.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

const QString kPictures = QStringLiteral(":/main/resource/messagebox/");
const QString kWhiteText = QStringLiteral("font-family: Microsoft YaHei;font-size: 12px; color: #FFFFFF;");
const QString kBlackText = QStringLiteral("font-family: Microsoft YaHei;font-size: 12px; color: #000000;");

struct ButtonKind {
    QMessageBox::StandardButton button;
    const char* text;
    QDialogButtonBox::ButtonRole role;
    const char* picture;
    bool blue;
};

// The order in which requested buttons are added to the box.
const ButtonKind kButtons[] = {
    {QMessageBox::Ok, QT_TRANSLATE_NOOP("MsgBox", "Ok"), QDialogButtonBox::AcceptRole, "btn_blue_90x32", true},
    {QMessageBox::Cancel, QT_TRANSLATE_NOOP("MsgBox", "Cancel"), QDialogButtonBox::RejectRole, "btn_white_90x32",
     false},
    {QMessageBox::Yes, QT_TRANSLATE_NOOP("MsgBox", "Yes"), QDialogButtonBox::YesRole, "btn_blue_90x32", true},
    {QMessageBox::No, QT_TRANSLATE_NOOP("MsgBox", "No"), QDialogButtonBox::NoRole, "btn_white_90x32", false},
};

QString svg(const QString& stem, const char* state)
{
    return kPictures + stem + QLatin1Char('_') + QLatin1String(state) + QStringLiteral(".svg");
}

}  // namespace

MsgBox::MsgBox(QWidget* parent, const QString& title, const QString& text, int buttons, int defaultButton)
    : DraggableWindow<QDialog>(10, parent, true)
{
    const QString css = StyleSheet::load(QStringLiteral(":/qss/resource/qss/messageBox.qss"));
    if (!css.isEmpty())
        setStyleSheet(css);
    setWindowIcon(parent ? parent->windowIcon() : QIcon(QStringLiteral(":/main/resource/logo24.png")));
    setWindowTitle(title);

    rootWidget->setStyleSheet(QStringLiteral("#rootWidget { background-color: #FFFFFF}"));
    titleBar->setStyleSheet(QStringLiteral("#titleBar { background-color: #FFFFFF; font-family:Microsoft YaHei;"
                                           "font-size: 12px; color: #333333;}"));
    titleBar->setFixedHeight(30);
    clientWidget->setStyleSheet(QStringLiteral("#clientWidget { background-color: #FFFFFF; }"));

    auto* titleLayout = new QHBoxLayout(titleBar);
    logoLabel = new QLabel(titleBar);
    logoLabel->setFixedSize(16, 16);
    logoLabel->setPixmap(QPixmap(QStringLiteral(":/main/resource/logo16.png")));
    titleLayout->addWidget(logoLabel);
    titleLayout->addSpacing(2);
    auto* titleLabel = new QLabel(title, titleBar);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setStyleSheet(QStringLiteral("font-family: Microsoft YaHei;font-size: 12px; color: #333333;"));
    titleLayout->addWidget(titleLabel);
    titleLayout->addStretch();
    const QString closeStem = QStringLiteral("btn_close");
    closeButton = new SvgButton(svg(closeStem, "normal"), svg(closeStem, "hover"), svg(closeStem, "pressed"),
                                svg(closeStem, "disabled"), titleBar);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setFixedSize(20, 20);
    closeButton->setStyleSheet(QStringLiteral("border: none; background: transparent;"));
    closeButton->setCursor(Qt::PointingHandCursor);
    // Not a default or auto-default button: Enter must not close the box.
    closeButton->setAutoDefault(false);
    connect(closeButton, &QAbstractButton::clicked, this, &QWidget::close);
    titleLayout->addWidget(closeButton);
    titleLayout->addSpacing(5);

    buttonBox = new QDialogButtonBox(clientWidget);
    for (const ButtonKind& kind : kButtons) {
        if (!(buttons & kind.button))
            continue;
        const QString stem = QLatin1String(kind.picture);
        auto* b = new SvgButton(svg(stem, "normal"), svg(stem, "hover"), svg(stem, "pressed"),
                                svg(stem, "disabled"));
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(kind.blue ? kWhiteText : kBlackText);
        b->setFixedSize(90, 32);
        b->setTextAlignment(Qt::AlignCenter);
        b->setText(QLatin1String(kind.text));
        b->setProperty("standardButton", int(kind.button));
        buttonBox->addButton(b, kind.role);
        connect(b, &QAbstractButton::clicked, this, [this, b] { clickedButton = b; });
        if (defaultButton && defaultButton == int(kind.button))
            b->setDefault(true);
    }

    iconLabel = new QLabel(clientWidget);
    iconLabel->setFixedSize(48, 48);
    iconLabel->setScaledContents(true);
    textLabel = new QLabel(clientWidget);
    textLabel->setObjectName(QStringLiteral("messageTextLabel"));
    textLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    textLabel->setStyleSheet(QStringLiteral("font-family:Microsoft YaHei;font-size: 12px; color: #333333;"));
    textLabel->setOpenExternalLinks(true);
    textLabel->setText(text);

    auto* gridHost = new QWidget(clientWidget);
    gridLayout = new QGridLayout(gridHost);
    gridLayout->addWidget(iconLabel, 0, 0, 2, 1, Qt::AlignTop);
    gridLayout->addWidget(textLabel, 0, 1, 2, 1);
    gridLayout->addWidget(buttonBox, gridLayout->rowCount(), 0, 1, gridLayout->columnCount());
    gridLayout->setHorizontalSpacing(10);
    gridLayout->setVerticalSpacing(10);
    gridLayout->setContentsMargins(10, 10, 10, 10);
    gridLayout->setSizeConstraint(QLayout::SetNoConstraint);
    clientLayout->addWidget(gridHost);

    for (QAbstractButton* b : buttonBox->buttons()) {
        for (const ButtonKind& kind : kButtons) {
            if (b->property("standardButton").toInt() == int(kind.button))
                b->setText(tr(kind.text));
        }
    }
    connect(buttonBox, &QDialogButtonBox::clicked, this, &MsgBox::onButtonClicked);
}

void MsgBox::setIconSvg(const QString& path)
{
    QSvgRenderer renderer(path);
    const qreal dpr = devicePixelRatioF();
    QPixmap pixmap(QSize(48, 48) * dpr);
    pixmap.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
    }
    pixmap.setDevicePixelRatio(dpr);
    iconLabel->setPixmap(pixmap);
}

void MsgBox::onButtonClicked(QAbstractButton* button)
{
    clickedButton = button;
    done(buttonBox->buttonRole(button));
}

int MsgBox::chosenButton() const
{
    if (!clickedButton)
        return QMessageBox::NoButton;
    switch (buttonBox->buttonRole(clickedButton)) {
    case QDialogButtonBox::AcceptRole:
        return QMessageBox::Ok;
    case QDialogButtonBox::RejectRole:
        return QMessageBox::Cancel;
    case QDialogButtonBox::YesRole:
        return QMessageBox::Yes;
    case QDialogButtonBox::NoRole:
        return QMessageBox::No;
    default:
        return buttonBox->standardButton(clickedButton);
    }
}

int MsgBox::runModal()
{
    if (exec() == -1)
        return QMessageBox::Cancel;
    return chosenButton();
}

int MsgBox::question(QWidget* parent, const QString& title, const QString& text, int buttons, int defaultButton)
{
    MsgBox box(parent, title, text, buttons, defaultButton);
    box.setIconSvg(kPictures + QStringLiteral("msgbox_questionblue_48.svg"));
    return box.runModal();
}

int MsgBox::information(QWidget* parent, const QString& title, const QString& text, int buttons)
{
    MsgBox box(parent, title, text, buttons, QMessageBox::Ok);
    box.setIconSvg(kPictures + QStringLiteral("msgbox_informationblue_48.svg"));
    return box.runModal();
}
