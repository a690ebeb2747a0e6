// Journalling and reopening large boards: the GUI thread's share of
// journalling one stroke, the bytes a stroke adds to the journal, and the
// time to open a 10,000-item board at 3840 x 2160 from its journal and
// from a board file.

#include "BoardFiller.h"

#include "canvas/BoardFile.h"
#include "canvas/BoardJournal.h"
#include "canvas/CanvasView.h"
#include "canvas/ScreenSnapshot.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QSize k4K(3840, 2160);
constexpr int kItems = 10000;

struct Board {
    explicit Board(QSize size)
        : screen(size)
    {
        ScreenCapture::setInstance(&screen);
        manager = std::make_unique<GraphManager>(nullptr);
        ScreenCapture::setInstance(nullptr);
        filler = std::make_unique<BoardFiller>(*manager, size);
        filler->fill(kItems, 20);
    }
    ScreenSnapshot snapshot() const
    {
        ScreenSnapshot shot;
        shot.pixels = QPixmap::fromImage(manager->snapshot());
        shot.geometry = QRect(QPoint(0, 0), manager->snapshot().size());
        return shot;
    }
    SyntheticScreen screen;
    std::unique_ptr<GraphManager> manager;
    std::unique_ptr<BoardFiller> filler;
};

Board& board()
{
    static Board shared(k4K);
    return shared;
}

void journalStroke(benchmark::State& state)
{
    Board& b = board();
    QTemporaryDir dir;
    const QString path = dir.filePath("board.journal");
    BoardJournal journal(path);
    journal.begin(b.snapshot(), b.manager->snapshot(), *b.manager);
    journal.flush();
    const qint64 start = QFileInfo(path).size();
    int strokes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.filler->drawItem(0, 20); // a 20-point pen stroke
        state.ResumeTiming();
        journal.record(*b.manager);
        ++strokes;
    }
    journal.flush();
    state.counters["bytes_per_stroke"] = double(QFileInfo(path).size() - start) / std::max(strokes, 1);
    for (int i = 0; i < strokes; ++i)
        b.manager->undo();
}

void openFromJournal(benchmark::State& state)
{
    Board& b = board();
    QTemporaryDir dir;
    const QString path = dir.filePath("board.journal");
    {
        BoardJournal journal(path);
        journal.begin(b.snapshot(), b.manager->snapshot(), *b.manager);
        journal.flush();
    }
    for (auto _ : state) {
        BoardJournal::Contents contents;
        QString problem;
        if (!BoardJournal::read(path, &contents, &problem))
            state.SkipWithError(qPrintable(problem));
        GraphManager opened(nullptr, contents.snapshot);
        opened.canvas()->ownCanvas();
        opened.restore(contents.state);
        benchmark::DoNotOptimize(opened.canvas()->canvasImage.constBits());
    }
}

void openFromFile(benchmark::State& state)
{
    Board& b = board();
    QTemporaryDir dir;
    const QString path = dir.filePath("board.sbboard");
    BoardFile::Contents saved;
    saved.snapshot = b.manager->snapshot();
    saved.state = b.manager->state();
    QString problem;
    if (!BoardFile::write(path, saved, &problem)) {
        state.SkipWithError(qPrintable(problem));
        return;
    }
    state.counters["file_bytes"] = double(QFileInfo(path).size());
    for (auto _ : state) {
        BoardFile::Contents contents;
        if (!BoardFile::read(path, &contents, &problem))
            state.SkipWithError(qPrintable(problem));
        ScreenSnapshot shot;
        shot.pixels = QPixmap::fromImage(contents.snapshot);
        shot.geometry = QRect(QPoint(0, 0), contents.snapshot.size());
        GraphManager opened(nullptr, shot);
        opened.canvas()->ownCanvas();
        opened.restore(contents.state);
        benchmark::DoNotOptimize(opened.canvas()->canvasImage.constBits());
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A fixed count: every iteration adds a stroke the next ones journal over.
    benchmark::RegisterBenchmark("journal_record/3840x2160/10000", journalStroke)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(2000);
    benchmark::RegisterBenchmark("open_journal/3840x2160/10000", openFromJournal)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("open_file/3840x2160/10000", openFromFile)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
