// The fading laser dot over the board.

#include "canvas/LaserPointer.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

#include <algorithm>

namespace {

const QColor kLaser(255, 32, 32);
// Frames of the fade: smooth enough, and idle once it has faded.
constexpr int kTickMs = 30;

} // namespace

LaserPointer::LaserPointer(QWidget& board)
    : QObject(&board)
    , board(board)
{
    clock.start();
    ticker.setInterval(kTickMs);
    connect(&ticker, &QTimer::timeout, this, &LaserPointer::fade);
}

void LaserPointer::follow(const QPoint& pos)
{
    held = true;
    trail.push_back({ pos, clock.elapsed() });
    if (!ticker.isActive()) {
        ticker.start();
    }
    fade();
}

void LaserPointer::lift()
{
    held = false;
    fade();
}

void LaserPointer::fade()
{
    const qint64 now = clock.elapsed();
    while (!trail.empty() && now - trail.front().at > kFadeMs && !(held && trail.size() == 1)) {
        trail.pop_front();
    }
    const QRect nowShown = area();
    const QRegion changed = QRegion(shownArea) | QRegion(nowShown);
    shownArea = nowShown;
    if (!changed.isEmpty()) {
        board.update(changed);
    }
    if (!showing()) {
        ticker.stop();
    }
}

QRect LaserPointer::area() const
{
    QRect covered;
    for (const Mark& mark : trail) {
        covered |= QRect(mark.pos, QSize(1, 1));
    }
    if (covered.isNull()) {
        return QRect();
    }
    const int reach = 2 * kDotRadius + 2;
    return covered.adjusted(-reach, -reach, reach, reach);
}

void LaserPointer::paint(QPainter& painter) const
{
    if (trail.empty()) {
        return;
    }
    const qint64 now = clock.elapsed();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The trail: thinner and fainter the older it is.
    for (size_t i = 1; i < trail.size(); ++i) {
        const double age = std::clamp(double(now - trail[i].at) / kFadeMs, 0.0, 1.0);
        QColor colour = kLaser;
        colour.setAlphaF(0.8 * (1.0 - age));
        painter.setPen(QPen(colour, std::max(1.0, kDotRadius * (1.0 - age)), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(trail[i - 1].pos, trail[i].pos);
    }
    if (held) {
        const QPoint at = trail.back().pos;
        QRadialGradient glow(at, 2 * kDotRadius);
        glow.setColorAt(0.0, QColor(255, 255, 255));
        glow.setColorAt(0.35, kLaser);
        glow.setColorAt(1.0, QColor(255, 32, 32, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(at, 2 * kDotRadius, 2 * kDotRadius);
    }
    painter.restore();
}
