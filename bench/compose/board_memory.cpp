// Peak memory of one open board: opens a board on a synthetic screen,
// draws the given number of items on it, drags, undoes and redoes a
// little, and prints what the process held. Run it with 0 and with 10,000
// items; the difference is what the items cost. See README.md.
#include "BoardFiller.h"

#include "canvas/CanvasView.h"
#include "canvas/Compositor.h"
#include "canvas/GraphManager.h"
#include "platform/ProcessMemory.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <memory>

namespace {

double megabytes(qint64 bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ "items", "Items drawn on the board.", "count", "0" });
    parser.addOption({ "points", "Points of each pen stroke.", "count", "200" });
    parser.addOption({ "pens-only", "Draw only pen strokes (default: mixed kinds)." });
    parser.addOption({ "size", "Board size in physical pixels.", "WxH", "3840x2160" });
    parser.process(app);
    const QStringList size = parser.value("size").split('x');
    const QSize board(size.value(0).toInt(), size.value(1).toInt());
    const int items = parser.value("items").toInt();
    const int points = parser.value("points").toInt();
    const bool pensOnly = parser.isSet("pens-only");

    // The screen the board is made from is the display's in real use, not
    // the process's: make it before measuring.
    SyntheticScreen screen(board);
    const qint64 before = ProcessMemory::residentBytes();

    ScreenCapture::setInstance(&screen);
    auto manager = std::make_unique<GraphManager>(nullptr);
    ScreenCapture::setInstance(nullptr);
    const qint64 opened = ProcessMemory::residentBytes();

    BoardFiller filler(*manager, board, 5);
    for (int i = 0; i < items; ++i) {
        filler.drawItem(pensOnly ? 0 : i, points);
    }
    // A drag, a few undos (past the checkpoint) and redos, as a user would.
    GraphActioner* rect = filler.begin(Rect);
    for (int i = 0; i < 30; ++i) {
        const QPoint at = filler.somewhere();
        manager->addPoint(at.x(), at.y());
    }
    Q_UNUSED(rect);
    for (int i = 0; i < 80; ++i) {
        manager->undo();
    }
    for (int i = 0; i < 80; ++i) {
        manager->redo();
    }
    const qint64 after = ProcessMemory::residentBytes();
    const qint64 peak = ProcessMemory::peakResidentBytes();

    const QImage& canvas = manager->canvas()->canvasImage;
    const double image = static_cast<double>(canvas.sizeInBytes());
    std::printf("board %dx%d, %d items (%s, %d points per stroke)\n", board.width(), board.height(), items,
                pensOnly ? "pen strokes" : "mixed kinds", points);
    std::printf("  one full-screen image          %8.1f MB\n", megabytes(canvas.sizeInBytes()));
    std::printf("  resident before the board      %8.1f MB\n", megabytes(before));
    std::printf("  board opened                   %8.1f MB  (+%.2f images)\n", megabytes(opened),
                static_cast<double>(opened - before) / image);
    std::printf("  after drawing, undo and redo   %8.1f MB  (+%.2f images)\n", megabytes(after),
                static_cast<double>(after - before) / image);
    std::printf("  peak resident                  %8.1f MB  (+%.2f images over the start)\n", megabytes(peak),
                static_cast<double>(peak - before) / image);
    std::printf("  full-screen images the board holds: %d\n", manager->composer().fullImages());
    std::printf("RESULT items=%d after_bytes=%lld peak_bytes=%lld before_bytes=%lld\n", items,
                static_cast<long long>(after), static_cast<long long>(peak), static_cast<long long>(before));
    return 0;
}
