#include "canvas/ColorPicker.h"

#include <QCursor>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QSizePolicy>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const char* const initialSwatchStyle = "background-color: rgb(255, 107, 107);color: rgb(250, 250, 250);";
const char* const captionStyle = "background-color: rgb(0, 0, 0);color: rgb(200, 200, 200);";
}

ColorPicker::ColorPicker(QWidget* parent)
    : QWidget(parent)
{
    swatchLabel = new QLabel(this);
    swatchLabel->setText(QStringLiteral("+"));
    swatchLabel->setStyleSheet(QString::fromLatin1(initialSwatchStyle));
    swatchLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QFont swatchFont = swatchLabel->font();
    swatchFont.setPixelSize(35);
    swatchFont.setWeight(QFont::Bold);
    swatchLabel->setFont(swatchFont);
    swatchLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    swatchLabel->setMinimumSize(80, 70);
    swatchLabel->setMaximumSize(80, 70);
    swatchLabel->setCursor(Qt::CrossCursor);
    swatchLabel->setFrameShape(QFrame::StyledPanel);
    swatchLabel->setFrameShadow(QFrame::Sunken);

    captionLabel = new QLabel(tr("cureent :"), this);
    captionLabel->setStyleSheet(QString::fromLatin1(captionStyle));
    captionLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    captionLabel->setMinimumHeight(18);

    webLabel = new QLabel(tr("web:"), this);
    webEdit = new QLineEdit(this);
    rgbLabel = new QLabel(tr("rgb:"), this);
    rgbEdit = new QLineEdit(this);
    positionLabel = new QLabel(tr("postion:"), this);
    positionEdit = new QLineEdit(this);

    auto* grid = new QGridLayout(this);
    grid->setSpacing(6);
    grid->setContentsMargins(11, 11, 11, 11);
    auto* swatchBox = new QVBoxLayout();
    swatchBox->setSpacing(0);
    swatchBox->addWidget(swatchLabel);
    swatchBox->addWidget(captionLabel);
    grid->addLayout(swatchBox, 0, 0, 3, 1);
    grid->addWidget(webLabel, 0, 1);
    grid->addWidget(webEdit, 0, 2);
    grid->addWidget(rgbLabel, 1, 1);
    grid->addWidget(rgbEdit, 1, 2);
    grid->addWidget(positionLabel, 2, 1);
    grid->addWidget(positionEdit, 2, 2);

    setFixedSize(270, 108);
    setWindowFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_MouseTracking, true);
    // The pixel under the pointer must be the board's, not a background of ours.
    setAutoFillBackground(false);

    timer = new QTimer(this);
    timer->setInterval(100);
    connect(timer, SIGNAL(timeout()), this, SLOT(showColorValue()));

    if (QScreen* screen = QGuiApplication::primaryScreen())
        bounds = screen->geometry();
}

void ColorPicker::start()
{
    show();
    raise();
    timer->start();
}

void ColorPicker::stop()
{
    timer->stop();
    hide();
}

QPoint ColorPicker::placement(const QPoint& point, const QSize& size, const QRect& bounds)
{
    int x = point.x();
    int y = point.y();
    if (size.width() >= bounds.right() - x)
        x -= size.width();
    if (size.height() >= bounds.bottom() - y)
        y -= size.height();
    return QPoint(x, y);
}

void ColorPicker::follow(const QPoint& point)
{
    // `point` is in the canvas's coordinates, so the edges are the canvas's
    // own, not the screen's: they differ on a screen away from the desktop's origin.
    move(placement(point, size(), parentWidget() ? parentWidget()->rect() : bounds));
}

void ColorPicker::mouseMoveEvent(QMouseEvent* event)
{
    // The pointer can land on the picker itself; keep it moving with the
    // pointer and let the canvas see the move too.
    QPoint global = event->globalPos();
    if (parentWidget())
        global = parentWidget()->mapFromGlobal(global);
    follow(global);
    QWidget::mouseMoveEvent(event);
}

QString ColorPicker::rgbText(const QColor& color)
{
    return tr("%1, %2, %3").arg(color.red()).arg(color.green()).arg(color.blue());
}

QString ColorPicker::webText(const QColor& color)
{
    auto hex = [](int v) { return QString::number(v, 16).rightJustified(2, QLatin1Char('0')).toUpper(); };
    return tr("#%1%2%3").arg(hex(color.red()), hex(color.green()), hex(color.blue()));
}

QString ColorPicker::textColorFor(const QColor& color)
{
    if (color.red() > 200 && color.green() > 200 && color.blue() > 200)
        return QStringLiteral("10, 10, 10");
    return QStringLiteral("255, 255, 255");
}

void ColorPicker::showColor(const QColor& color)
{
    if (!color.isValid()) {
        // Nothing was read: show no colour rather than a stale one.
        swatchLabel->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255)"));
        rgbEdit->setText(QString());
        webEdit->setText(QString());
        return;
    }
    const QString rgb = rgbText(color);
    swatchLabel->setStyleSheet(QStringLiteral("background-color: rgb(%1);color: rgb(%2)").arg(rgb, textColorFor(color)));
    rgbEdit->setText(rgb);
    webEdit->setText(webText(color));
}

void ColorPicker::showColorValue()
{
    const QPoint p = QCursor::pos();
    positionEdit->setText(tr("x:%1  y:%2").arg(p.x()).arg(p.y()));

    QColor color;
    QWidget* board = parentWidget();
    const QPoint local = board ? board->mapFromGlobal(p) : QPoint();
    if (board && board->rect().contains(local)) {
        // What the board shows there, read from the board itself (without
        // the picker on top): exact on any screen of the desktop, and under
        // XWayland too, whose X screen holds no other program's pixels.
        const qreal ratio = board->devicePixelRatioF();
        QImage image(QSize(2, 2) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        board->render(&image, QPoint(), QRegion(QRect(local, QSize(2, 2))), QWidget::DrawWindowBackground);
        color = QColor(image.pixel(0, 0));
    } else if (QScreen* screen = QGuiApplication::screenAt(p)) {
        const QPixmap grab = screen->grabWindow(0, p.x(), p.y(), 2, 2);
        if (!grab.isNull()) {
            const QImage image = grab.toImage();
            if (!image.isNull() && image.valid(0, 0))
                color = QColor(image.pixel(0, 0));
        }
    }
    showColor(color);
}
