#include "panel/StripInPicture.h"

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <QtGlobal>

#include <cstdlib>

namespace {

// Samples on a grid over the strip; a picture shows the strip when nearly
// all of those where the strip is opaque match it. The desktop may have
// scaled the strip on its way to the picture: flat areas keep their colour,
// edges blur.
const int kColumns = 4;
const int kRows = 12;
const int kTolerance = 10;
const double kShare = 0.8;

bool alike(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) <= kTolerance && std::abs(a.green() - b.green()) <= kTolerance
        && std::abs(a.blue() - b.blue()) <= kTolerance;
}

} // namespace

void StripInPicture::take(QWidget* strip)
{
    look = QImage();
    geometry = QRect();
    if (!strip || !strip->isVisible()) {
        return;
    }
    look = strip->grab().toImage();
    geometry = QRect(strip->mapToGlobal(QPoint(0, 0)), strip->size());
}

bool StripInPicture::shownIn(const QPixmap& picture, const QRect& area, qreal ratio) const
{
    if (look.isNull() || picture.isNull() || !area.intersects(geometry)) {
        return false;
    }
    const QImage image = picture.toImage();
    const qreal lookRatio = look.devicePixelRatio();
    int compared = 0;
    int matching = 0;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QPoint inStrip((2 * column + 1) * geometry.width() / (2 * kColumns),
                                 (2 * row + 1) * geometry.height() / (2 * kRows));
            const QPoint inLook(qRound(inStrip.x() * lookRatio), qRound(inStrip.y() * lookRatio));
            const QPoint onDesktop = geometry.topLeft() + inStrip;
            const QPoint inPicture(qRound((onDesktop.x() - area.x()) * ratio), qRound((onDesktop.y() - area.y()) * ratio));
            if (!look.valid(inLook) || !image.valid(inPicture)) {
                continue;
            }
            const QColor strip = look.pixelColor(inLook);
            // The shadow around the strip shows what is under it.
            if (strip.alpha() != 255) {
                continue;
            }
            ++compared;
            if (alike(strip, image.pixelColor(inPicture))) {
                ++matching;
            }
        }
    }
    return compared > 0 && matching >= kShare * compared;
}
