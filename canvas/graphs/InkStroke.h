#pragma once

// The smooth curve through a stroke's sampled points, shared by the pen and
// the highlighter. Each piece is a quadratic curve from one segment's middle
// to the next one's, bent by the sample between them, so the stroke has no
// corners however far apart the samples lie. Piece 0 runs straight from the
// first sample to the middle of the first segment; piece k (k >= 1) ends in
// the middle of the segment from sample k to sample k + 1. The curve stops
// in the middle of the last segment: the straight rest to the last sample
// is the stroke's tail, shown while it is drawn and made part of it by the
// last sample taken twice (see finish()).

#include <QLineF>
#include <QPainterPath>
#include <QPoint>

#include <vector>

class GraphActioner;

namespace InkStroke {

// How many pieces `points` make: one per segment.
size_t pieceCount(const std::vector<QPoint>& points);
// Piece `k` as a polyline close to the curve (within a third of a pixel):
// at most kMaxPiecePoints points written to `out`, their count returned.
// Painting it costs little more than a straight segment.
constexpr int kMaxPiecePoints = 17;
int piece(const std::vector<QPoint>& points, size_t k, QPointF* out);
// The whole curve, tail included, as one path.
QPainterPath path(const std::vector<QPoint>& points);
// The straight rest from the end of the last piece to the last sample;
// null with fewer than two samples.
QLineF tail(const std::vector<QPoint>& points);
// The first sample a piece from `k` on depends on.
size_t firstPointOf(size_t k);

// Whether the stroke still ends short of its last sample: taking that
// sample again then makes the curve reach it.
bool needsFinish(const GraphActioner& item);

// Stylus pressure scales the pen: from a quarter of its width at the
// lightest touch to twice it at the firmest.
double pressureFactor(double pressure);
constexpr double kMaxPressureFactor = 2.0;

} // namespace InkStroke
