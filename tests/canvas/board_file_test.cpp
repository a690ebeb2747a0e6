// Board files: a board saved and opened again has the same pixels and goes
// on undoing and redoing as before, at any pixel ratio; real ZIP readers
// read the file; and damaged, cut off or hostile files are refused with a
// reason, never half opened.

#include "canvas/BoardFile.h"
#include "canvas/ItemFactory.h"
#include "canvas/ScreenSnapshot.h"
#include "screenview_harness.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

BoardFile::Contents contentsOf(const Screenview& board)
{
    BoardFile::Contents contents;
    contents.snapshot = board.manager()->snapshot();
    contents.ratio = board.boardRatio();
    contents.state = board.manager()->state();
    return contents;
}

// A board opened from `contents`, drawn as the real board draws it.
std::unique_ptr<Screenview> openedBoard(const BoardFile::Contents& contents)
{
    ScreenSnapshot snapshot;
    snapshot.pixels = QPixmap::fromImage(contents.snapshot);
    snapshot.geometry = QRect(QPoint(0, 0), contents.snapshot.size() / contents.ratio);
    snapshot.ratio = contents.ratio;
    auto board = std::make_unique<Screenview>(snapshot);
    board->manager()->canvas()->ownCanvas();
    board->manager()->restore(contents.state);
    return board;
}

void drawLesson(CanvasHarness& canvas)
{
    canvas.drawBlock({20, 20}, {120, 90}, Qt::blue);
    canvas.view->selectHighlighter();
    canvas.drag({30, 50}, {300, 70});
    canvas.view->selectPen();
    canvas.drag({200, 200}, {320, 260});
    canvas.view->selectMarkPen();
    canvas.click({400, 100});
    canvas.view->undo();
    canvas.view->toggleBlackBoard();
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class BoardFileTest : public QObject
{
    Q_OBJECT

private slots:
    // Run at the screen's ratio 1, and again at 1.5.
    void aSavedBoardOpensWithItsPixelsAndHistory()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("lesson.sbboard");
        CanvasHarness canvas;
        drawLesson(canvas);
        QString problem;
        QVERIFY2(BoardFile::write(path, contentsOf(*canvas.view), &problem), qPrintable(problem));

        // Real ZIP readers read it.
        if (!QStandardPaths::findExecutable("unzip").isEmpty())
            QCOMPARE(QProcess::execute("unzip", {"-tqq", path}), 0);

        BoardFile::Contents contents;
        QVERIFY2(BoardFile::read(path, &contents, &problem), qPrintable(problem));
        QCOMPARE(contents.snapshot.size(), canvas.image().size());
        std::unique_ptr<Screenview> back = openedBoard(contents);
        QCOMPARE(back->manager()->canvas()->canvasImage, canvas.image().copy());
        QCOMPARE(back->manager()->backdrop(), GraphManager::Backdrop::Black);
        undoAndRedoAlike(canvas, *back, 3, 4);
        if (QTest::currentTestFailed())
            return;
    }

    void damagedCutOrHostileFilesAreRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("lesson.sbboard");
        CanvasHarness canvas;
        drawLesson(canvas);
        QString problem;
        QVERIFY(BoardFile::write(path, contentsOf(*canvas.view), &problem));
        const QByteArray whole = bytesOf(path);
        const QString bad = dir.filePath("bad.sbboard");

        // Cut off anywhere: refused with a reason, unless all the board is
        // still there (the archive's closing comment length may go).
        const size_t items = canvas.history().allItems().size();
        for (qsizetype length = 0; length < whole.size(); length += std::max<qsizetype>(1, whole.size() / 300)) {
            writeBytes(bad, whole.left(length));
            BoardFile::Contents contents;
            problem.clear();
            const QString at = QString("%1 of %2").arg(length).arg(whole.size());
            if (BoardFile::read(bad, &contents, &problem)) {
                QVERIFY2(length >= whole.size() - 22, qPrintable(at));
                QCOMPARE(contents.state.items.size(), items);
            } else {
                QVERIFY2(!problem.isEmpty(), qPrintable(at));
            }
        }
        // Bytes changed at random: refused, or a sound board that opens.
        QRandomGenerator random(7);
        for (int round = 0; round < 400; ++round) {
            QByteArray mutated = whole;
            const int changes = 1 + random.bounded(8);
            for (int i = 0; i < changes; ++i)
                mutated[random.bounded(int(mutated.size()))] = char(random.bounded(256));
            writeBytes(bad, mutated);
            BoardFile::Contents contents;
            if (BoardFile::read(bad, &contents, &problem))
                QVERIFY(contents.state.isSound(&problem));
        }
        // Not a board at all, and no file.
        writeBytes(bad, "PK\x03\x04 not really a zip");
        BoardFile::Contents contents;
        QVERIFY(!BoardFile::read(bad, &contents, &problem));
        QVERIFY(!BoardFile::read(dir.filePath("missing.sbboard"), &contents, &problem));
    }
};

QTEST_MAIN(BoardFileTest)
#include "board_file_test.moc"
