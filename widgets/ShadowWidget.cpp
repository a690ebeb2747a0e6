#include "widgets/ShadowWidget.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

int shadowAlpha(double d, int r)
{
    const double k = (d == r) ? 4.8 : 4.0;
    const double v = std::fabs((1.0 - std::cos(d / r * 3.14 * 0.5)) * k * d);
    return int(v) & 0xff;
}

}  // namespace

ShadowWidget::ShadowWidget(int shadowWidth, QWidget* parent)
    : QWidget(parent), shadow(makeShadowImage(shadowWidth)), width_(shadowWidth)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_MouseTracking);
    std::array<QRect, 9> parts;
    if (sliceRect(shadow.rect(), shadowWidth + 1, parts)) {
        for (int i = 0; i < 9; ++i)
            slices[i] = shadow.copy(parts[i]);
    }
}

void ShadowWidget::setDrawShadow(bool on)
{
    drawShadow = on;
    update();
}

QImage ShadowWidget::makeShadowImage(int r)
{
    if (r < 1)
        return QImage();
    const int side = 2 * r + 10;
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(Qt::black);
    auto put = [&](int x, int y, int alpha) { img.setPixel(x, y, qRgba(0, 0, 0, alpha)); };
    for (int i = 0; i < side; ++i) {
        for (int d = 0; d < r; ++d) {
            put(d, i, shadowAlpha(d, r));                // left, 0 at the outer edge
            put(i, d, shadowAlpha(d, r));                // top
            put(side - 1 - d, i, shadowAlpha(d + 1, r)); // right, 1 at the outer edge
            put(i, side - 1 - d, shadowAlpha(d + 1, r)); // bottom
        }
    }
    // Corner squares of side r + 3 fade by the distance from their inner point.
    const int c = r + 3;
    for (int y = 0; y < c; ++y) {
        for (int x = 0; x < c; ++x) {
            const double near = c - std::hypot(double(c - x), double(c - y));
            const double far = c - std::hypot(double(c - (x + 1)), double(c - (y + 1)));
            put(x, y, shadowAlpha(near, r));
            put(side - 1 - x, y, shadowAlpha(far, r));
            put(x, side - 1 - y, shadowAlpha(far, r));
            put(side - 1 - x, side - 1 - y, shadowAlpha(far, r));
        }
    }
    return img;
}

bool ShadowWidget::sliceRect(const QRect& rect, int q, std::array<QRect, 9>& out)
{
    const int w = rect.width();
    const int h = rect.height();
    if (q < 1 || 2 * q >= w || 2 * q >= h)
        return false;
    const int c = q + 1;  // corners run from the outer edge to q inclusive
    const int x0 = rect.left(), x1 = rect.left() + c, x2 = rect.left() + w - c;
    const int y0 = rect.top(), y1 = rect.top() + c, y2 = rect.top() + h - c;
    const int mw = w - 2 * c, mh = h - 2 * c;
    out = {QRect(x0, y0, c, c),  QRect(x1, y0, mw, c),  QRect(x2, y0, c, c),
           QRect(x0, y1, c, mh), QRect(x1, y1, mw, mh), QRect(x2, y1, c, mh),
           QRect(x0, y2, c, c),  QRect(x1, y2, mw, c),  QRect(x2, y2, c, c)};
    return true;
}

void ShadowWidget::paintEvent(QPaintEvent* event)
{
    if (!drawShadow || slices[0].isNull()) {
        QWidget::paintEvent(event);
        return;
    }
    std::array<QRect, 9> target;
    if (!sliceRect(rect(), width_ + 1, target))
        return;
    QPainter p(this);
    for (int i = 0; i < 9; ++i) {
        if (i != 4)
            p.drawImage(target[i], slices[i]);
    }
}
