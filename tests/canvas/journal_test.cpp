// The board's crash journal: a board drawn, undone and typed on comes back
// from its journal with the same pixels and the same history, and a journal
// cut off anywhere in its last record gives the board as it was before it.

#include "canvas/BoardJournal.h"
#include "canvas/QTextEditer.h"
#include "screenview_harness.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

// The byte offsets at which the journal's records begin, and its end.
std::vector<qsizetype> recordStarts(const QByteArray& bytes)
{
    std::vector<qsizetype> starts;
    qsizetype at = BoardJournal::fileMagic().size();
    while (at + 9 <= bytes.size()) {
        starts.push_back(at);
        const quint32 length = qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData() + at + 1));
        at += 9 + static_cast<qsizetype>(length);
    }
    starts.push_back(at);
    return starts;
}

// A board restored from `contents`, drawn as the real board draws it.
std::unique_ptr<Screenview> restoredBoard(const BoardJournal::Contents& contents)
{
    auto board = std::make_unique<Screenview>(contents.snapshot);
    board->manager()->canvas()->ownCanvas();
    board->manager()->restore(contents.state);
    return board;
}

} // namespace

class JournalTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Screenview::markNumber = 0; }

    void aJournalledBoardComesBackExactlyAndUndoGoesOn()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("state/board.journal");
        CanvasHarness canvas;
        BoardJournal journal(path);
        journal.begin(ScreenSnapshot::ofPrimaryScreen(), canvas.view->manager()->canvas()->background,
                      canvas.history());
        const auto record = [&] { journal.record(canvas.history()); };
        QObject::connect(canvas.view.get(), &Screenview::historyChanged, record);

        canvas.drawBlock({20, 20}, {120, 90}, Qt::red);
        canvas.view->selectPen();
        canvas.drag({200, 200}, {320, 260});
        canvas.view->selectMarkPen();
        canvas.click({400, 100});
        canvas.view->undo();
        canvas.view->selectArrow();
        canvas.drag({500, 300}, {600, 420});
        canvas.view->selectArea();
        canvas.drag({10, 10}, {300, 300});
        canvas.view->selectText();
        canvas.click({150, 400});
        QTest::keyClicks(canvas.view->openEditor(), QStringLiteral("lesson"));
        canvas.view->selectPen();
        canvas.view->clearBoard();
        canvas.view->undo();
        journal.flush();

        QVERIFY(QFile::permissions(path) == (QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                             | QFileDevice::ReadUser | QFileDevice::WriteUser));
        BoardJournal::Contents contents;
        QString problem;
        QVERIFY2(BoardJournal::read(path, &contents, &problem), qPrintable(problem));
        std::unique_ptr<Screenview> back = restoredBoard(contents);
        QCOMPARE(back->manager()->canvas()->canvasImage, canvas.image().copy());
        QCOMPARE(back->manager()->painted().size(), canvas.history().painted().size());
        QCOMPARE(back->manager()->undone().size(), canvas.history().undone().size());
        QCOMPARE(contents.state.nextBadge, 1);

        // Undo and redo go on as before: the clear comes back, the badge returns.
        undoAndRedoAlike(canvas, *back, 3, 4);
        if (QTest::currentTestFailed())
            return;

        journal.discard();
        journal.flush();
        QVERIFY(!QFile::exists(path));
    }

    void aJournalCutInItsLastRecordRestoresTheRecordsBeforeIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("board.journal");
        CanvasHarness canvas;
        {
            BoardJournal journal(path);
            journal.begin(ScreenSnapshot::ofPrimaryScreen(), canvas.view->manager()->canvas()->background,
                          canvas.history());
            canvas.drawBlock({20, 20}, {120, 90}, Qt::blue);
            journal.record(canvas.history());
            canvas.view->selectPen();
            canvas.drag({200, 200}, {320, 260});
            journal.record(canvas.history());
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        file.close();
        const std::vector<qsizetype> starts = recordStarts(whole);
        QVERIFY(starts.size() >= 4); // snapshot, background, block, stroke
        QCOMPARE(starts.back(), whole.size());
        const qsizetype last = starts[starts.size() - 2];

        const QString cutPath = dir.filePath("cut.journal");
        const auto readCut = [&](qsizetype length, BoardJournal::Contents* contents) {
            QFile cut(cutPath);
            if (!cut.open(QIODevice::WriteOnly | QIODevice::Truncate) || cut.write(whole.left(length)) != length)
                qFatal("cannot write the cut journal");
            cut.close();
            QString problem;
            return BoardJournal::read(cutPath, contents, &problem);
        };
        BoardJournal::Contents before;
        QVERIFY(readCut(last, &before));
        QCOMPARE(before.state.done.size(), size_t(2)); // background and block
        const QImage beforeImage = restoredBoard(before)->manager()->canvas()->canvasImage.copy();
        for (qsizetype length = last; length < whole.size(); ++length) {
            BoardJournal::Contents contents;
            QVERIFY2(readCut(length, &contents), qPrintable(QString::number(length)));
            QCOMPARE(contents.state.done.size(), before.state.done.size());
            QCOMPARE(contents.state.items.size(), before.state.items.size());
        }
        QCOMPARE(restoredBoard(before)->manager()->canvas()->canvasImage, beforeImage);
        BoardJournal::Contents full;
        QVERIFY(readCut(whole.size(), &full));
        QCOMPARE(full.state.done.size(), size_t(3));
    }
};

QTEST_MAIN(JournalTest)
#include "journal_test.moc"
