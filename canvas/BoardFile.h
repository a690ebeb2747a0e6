#pragma once

// Board files (".sbboard"): a board kept to go on with later. A ZIP holding
// the screen's snapshot as "snapshot.png" and the items and history as
// "board.json", in the same serialisation as the crash journal. A file from
// elsewhere is untrusted: only those two entries are read, each within a
// size limit, and anything damaged, cut off or out of bounds is refused with
// the reason, never half opened.

#include "canvas/BoardState.h"

#include <QImage>
#include <QString>

namespace BoardFile {

constexpr const char* kSuffix = "sbboard";
constexpr int kFormatVersion = 1;

struct Contents {
    // The snapshot in physical pixels, and the ratio of the screen it came from.
    QImage snapshot;
    double ratio = 1.0;
    BoardState state;
};

// Writes atomically: the file is replaced only once the whole board is written.
bool write(const QString& path, const Contents& contents, QString* problem);
bool read(const QString& path, Contents* contents, QString* problem);

// A board made on a screen of another size, fitted to `pixels`: the snapshot
// scaled, and every point and pen width with it. False when it already fits.
bool fitTo(Contents* contents, const QSize& pixels);

} // namespace BoardFile
