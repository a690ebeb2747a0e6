// What a pointer move, an undo and a redo cost on a board that already
// holds 0 to 10,000 items, at 1920 x 1080 and 3840 x 2160: the incremental
// path the canvas uses, against the full replay of every item (and a
// repaint of the whole window) that it replaces. Also how long opening a
// board takes. Offscreen; see README.md beside this file.
#include "BoardFiller.h"

#include "canvas/CanvasView.h"
#include "canvas/GraphManager.h"
#include "canvas/Screenview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLoggingCategory>
#include <QPainter>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const QSize kSizes[] = { QSize(1920, 1080), QSize(3840, 2160) };
const int kCounts[] = { 0, 100, 1000, 10000 };

std::string sizeName(QSize size)
{
    return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

// One open board (a canvas window that is never shown) and the window
// surface its paint goes to.
struct Board {
    Board(QSize size, int count)
        : size(size)
        , count(count)
    {
        SyntheticScreen screen(size);
        ScreenCapture::setInstance(&screen);
        view = std::make_unique<Screenview>();
        ScreenCapture::setInstance(nullptr);
        // The offscreen screen is small; the window takes the board's size
        // as it does on a real screen of that size.
        view->setFixedSize(size);
        manager = view->manager();
        window = QImage(size, QImage::Format_RGB32);
        filler = std::make_unique<BoardFiller>(*manager, size, 1);
        // A selection made before everything else: selecting again later
        // reuses that item, which keeps its place under all the others.
        filler->begin(SelectArea);
        manager->addPoint(10, 10);
        manager->addPoint(60, 40);
        filler->fill(count);
        manager->takeChangedArea();
    }

    // What paintEvent does for the area the last change touched.
    void paintChanged()
    {
        const QRect area = manager->canvas()->windowArea(manager->takeChangedArea());
        if (area.isEmpty()) {
            return;
        }
        QPainter painter(&window);
        painter.setClipRect(area);
        manager->canvas()->paint(&painter, area);
    }

    // The old way: the whole window after every change.
    void paintAll()
    {
        manager->takeChangedArea();
        QPainter painter(&window);
        manager->canvas()->paint(&painter, window.rect());
    }

    QSize size;
    int count = 0;
    std::unique_ptr<Screenview> view;
    GraphManager* manager = nullptr;
    QImage window;
    std::unique_ptr<BoardFiller> filler;
};

std::unique_ptr<Board> openBoard;

// Boards are built once per size and count and shared by the benchmarks of
// that size and count, which run one after another.
Board& boardFor(QSize size, int count)
{
    if (!openBoard || openBoard->size != size || openBoard->count != count) {
        openBoard.reset();
        openBoard = std::make_unique<Board>(size, count);
    }
    return *openBoard;
}

enum class Path { Incremental, Replay };

// The reference: the item changed, then every item replayed and the whole
// window painted, as each pointer move, undo and redo did before.
void replayAndPaint(Board& board)
{
    board.manager->replay();
    board.paintAll();
}

void dragMoves(benchmark::State& state, QSize size, int count, int kind, Path path)
{
    Board& board = boardFor(size, count);
    GraphManager& manager = *board.manager;
    QRandomGenerator random(3);
    const QPoint start(size.width() / 3, size.height() / 3);
    GraphActioner* item = nullptr;
    QPoint at = start;
    const auto restart = [&] {
        // The select item is reused in place, never undone.
        if (item && kind != SelectArea) {
            manager.undo();
            board.paintChanged();
        }
        item = board.filler->begin(kind);
        item->setProperty(QStringLiteral("size"), 4);
        at = start;
        manager.addPoint(at.x(), at.y());
        board.paintChanged();
    };
    restart();
    int moves = 0;
    for (auto _ : state) {
        // Strokes are kept to 100 points so the replay reference does not
        // grow with the benchmark's own drawing.
        if (++moves % 100 == 0) {
            state.PauseTiming();
            restart();
            state.ResumeTiming();
        }
        if (kind == Pen || kind == Highlighter) {
            at += QPoint(random.bounded(-6, 9), random.bounded(-6, 9));
        } else {
            at = start + QPoint(random.bounded(-300, 301), random.bounded(-200, 201));
        }
        if (path == Path::Incremental) {
            manager.addPoint(at.x(), at.y());
            board.paintChanged();
        } else {
            item->addPoint(at);
            replayAndPaint(board);
        }
    }
    if (kind != SelectArea) {
        manager.undo();
    }
    board.paintChanged();
}

// A 50-point stroke on top of the board is undone (or redone) again and again.
void undoRedo(benchmark::State& state, QSize size, int count, bool undo, Path path)
{
    Board& board = boardFor(size, count);
    GraphManager& manager = *board.manager;
    board.filler->drawItem(0, 50);
    board.paintChanged();
    for (auto _ : state) {
        if (!undo) {
            state.PauseTiming();
            manager.undo();
            board.paintChanged();
            state.ResumeTiming();
        }
        if (path == Path::Incremental) {
            undo ? manager.undo() : manager.redo();
            board.paintChanged();
        } else {
            state.PauseTiming();
            undo ? manager.undo() : manager.redo();
            state.ResumeTiming();
            replayAndPaint(board);
        }
        if (undo) {
            state.PauseTiming();
            manager.redo();
            board.paintChanged();
            state.ResumeTiming();
        }
    }
    manager.undo();
    board.paintChanged();
}

// Undo after undo, 200 deep, then everything redone (untimed): the mean
// includes moving the checkpoint down when the walk passes it.
void undoWalk(benchmark::State& state, QSize size, int count)
{
    Board& board = boardFor(size, count);
    GraphManager& manager = *board.manager;
    const int depth = std::min(200, count);
    int undone = 0;
    for (auto _ : state) {
        if (undone == depth) {
            state.PauseTiming();
            for (; undone > 0; --undone) {
                manager.redo();
            }
            board.paintChanged();
            state.ResumeTiming();
        }
        manager.undo();
        board.paintChanged();
        ++undone;
    }
    for (; undone > 0; --undone) {
        manager.redo();
    }
    board.paintChanged();
}

// A board opening: the snapshot through the capture seam, both image
// conversions, renderers, painter, history; with and without the window.
void openHistory(benchmark::State& state, QSize size)
{
    openBoard.reset();
    SyntheticScreen screen(size);
    ScreenCapture::setInstance(&screen);
    for (auto _ : state) {
        auto manager = std::make_unique<GraphManager>(nullptr);
        benchmark::DoNotOptimize(manager.get());
        state.PauseTiming();
        manager.reset();
        state.ResumeTiming();
    }
    ScreenCapture::setInstance(nullptr);
}

void openWindow(benchmark::State& state, QSize size)
{
    openBoard.reset();
    SyntheticScreen screen(size);
    ScreenCapture::setInstance(&screen);
    for (auto _ : state) {
        auto view = std::make_unique<Screenview>();
        benchmark::DoNotOptimize(view.get());
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    ScreenCapture::setInstance(nullptr);
}

// Prints the usual lines and remembers each result for the table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    // Plain text: the output usually ends up in a file or a report.
    TableReporter()
        : ConsoleReporter(OO_None)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                // Every benchmark here reports in microseconds.
                std::string name = run.benchmark_name();
                name = name.substr(0, name.find("/iterations:"));
                milliseconds[name] = run.GetAdjustedRealTime() / 1000.0;
            }
        }
    }

    std::map<std::string, double> milliseconds;
};

double find(const std::map<std::string, double>& results, const std::string& name)
{
    const auto found = results.find(name);
    return found == results.end() ? -1.0 : found->second;
}

void printTable(const std::map<std::string, double>& results)
{
    std::printf("\n%-10s %-10s %7s %14s %14s %10s\n", "operation", "board", "items", "incremental ms",
                "full replay ms", "ratio");
    const char* ops[] = { "pen_move", "rect_drag", "arrow_drag", "select_drag", "undo", "redo" };
    for (QSize size : kSizes) {
        for (const char* op : ops) {
            for (int count : kCounts) {
                const std::string base = std::string(op) + "/" + sizeName(size) + "/" + std::to_string(count);
                const double fast = find(results, base + "/incremental");
                const double slow = find(results, base + "/replay");
                if (fast < 0 && slow < 0) {
                    continue;
                }
                std::printf("%-10s %-10s %7d %14.3f %14.3f %9.1fx\n", op, sizeName(size).c_str(), count, fast, slow,
                            fast > 0 && slow > 0 ? slow / fast : 0.0);
            }
        }
        for (const char* single : { "undo_walk", "undo_after_select" }) {
            for (int count : kCounts) {
                const double ms = find(results, std::string(single) + "/" + sizeName(size) + "/" + std::to_string(count));
                if (ms >= 0) {
                    std::printf("%-10s %-10s %7d %14.3f %14s\n", single, sizeName(size).c_str(), count, ms, "-");
                }
            }
        }
        for (const char* open : { "open_history", "open_window" }) {
            const double ms = find(results, std::string(open) + "/" + sizeName(size));
            if (ms >= 0) {
                std::printf("%-12s %-10s %5s %14.3f\n", open, sizeName(size).c_str(), "", ms);
            }
        }
    }

    // The targets, at 4K.
    const std::string uhd = sizeName(kSizes[1]);
    std::printf("\nAt %s:\n", uhd.c_str());
    for (const char* op : { "pen_move", "rect_drag", "arrow_drag" }) {
        const double none = find(results, std::string(op) + "/" + uhd + "/0/incremental");
        const double many = find(results, std::string(op) + "/" + uhd + "/10000/incremental");
        const double replay = find(results, std::string(op) + "/" + uhd + "/10000/replay");
        if (none > 0 && many > 0) {
            std::printf("  %-10s 10,000 items vs none: %.2fx (target <= 1.5x)", op, many / none);
            if (replay > 0) {
                std::printf("; vs full replay at 10,000: %.0fx faster (target >= 50x)", replay / many);
            }
            std::printf("\n");
        }
    }
    for (const char* op : { "undo", "redo" }) {
        const double many = find(results, std::string(op) + "/" + uhd + "/10000/incremental");
        const double replay = find(results, std::string(op) + "/" + uhd + "/10000/replay");
        if (many > 0 && replay > 0) {
            std::printf("  %-10s at 10,000 items: %.0fx faster than full replay (target >= 10x)\n", op,
                        replay / many);
        }
    }
    const double open = find(results, "open_history/" + uhd);
    if (open >= 0) {
        std::printf("  board opening: %.1f ms (target < 150 ms)\n", open);
    }
}

void registerAll()
{
    const struct {
        const char* name;
        int kind;
    } drags[] = { { "pen_move", Pen }, { "highlighter_move", Highlighter }, { "rect_drag", Rect },
                  { "arrow_drag", LineArrow } };
    for (QSize size : kSizes) {
        const std::string board = sizeName(size);
        benchmark::RegisterBenchmark(("open_history/" + board).c_str(), openHistory, size)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("open_window/" + board).c_str(), openWindow, size)
            ->Unit(benchmark::kMicrosecond);
        for (int count : kCounts) {
            const std::string prefix = "/" + board + "/" + std::to_string(count);
            for (const auto& drag : drags) {
                benchmark::RegisterBenchmark((drag.name + prefix + "/incremental").c_str(), dragMoves, size, count,
                                             drag.kind, Path::Incremental)
                    ->Unit(benchmark::kMicrosecond);
                benchmark::RegisterBenchmark((drag.name + prefix + "/replay").c_str(), dragMoves, size, count,
                                             drag.kind, Path::Replay)
                    ->Unit(benchmark::kMicrosecond);
            }
            for (bool undo : { true, false }) {
                const std::string name = undo ? "undo" : "redo";
                benchmark::RegisterBenchmark((name + prefix + "/incremental").c_str(), undoRedo, size, count, undo,
                                             Path::Incremental)
                    ->Unit(benchmark::kMicrosecond);
                benchmark::RegisterBenchmark((name + prefix + "/replay").c_str(), undoRedo, size, count, undo,
                                             Path::Replay)
                    ->Unit(benchmark::kMicrosecond);
            }
            if (count > 0) {
                // A fixed number of steps, so the mean covers whole walks
                // and not just the first undo.
                benchmark::RegisterBenchmark(("undo_walk" + prefix).c_str(), undoWalk, size, count)
                    ->Unit(benchmark::kMicrosecond)
                    ->Iterations(400);
            }
            // Last of its board: changing an item under all the others
            // leaves the composites near the top to be rebuilt once.
            benchmark::RegisterBenchmark(("select_drag" + prefix + "/incremental").c_str(), dragMoves, size, count,
                                         SelectArea, Path::Incremental)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("select_drag" + prefix + "/replay").c_str(), dragMoves, size, count,
                                         SelectArea, Path::Replay)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("undo_after_select" + prefix).c_str(), undoRedo, size, count, true,
                                         Path::Incremental)
                ->Unit(benchmark::kMicrosecond)
                ->Iterations(1);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // Text items trace each paint; that is not what is measured here.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    registerAll();
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    openBoard.reset();
    printTable(reporter.milliseconds);
    benchmark::Shutdown();
    return 0;
}
