// Run by hand: QT_QPA_PLATFORM=offscreen build/bin/history_bench
// Measures one pointer move of a pen stroke (a point appended and the
// picture repainted) on a board already holding N drawn items, and the
// full reference repaint of the same board.

#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"
#include "canvas/Screenview.h"
#include "platform/ScreenCapture.h"

#include <QGuiApplication>
#include <QObject>
#include <QPixmap>
#include <QScreen>
#include <QtTest>

#include <memory>

namespace {

class FullHdCapture : public ScreenCapture
{
public:
    QPixmap captureScreen(WId, int, int, int, int) override
    {
        QPixmap pixmap(1920, 1080);
        pixmap.fill(QColor(40, 80, 120));
        return pixmap;
    }
};

} // namespace

class HistoryBench : public QObject
{
    Q_OBJECT

private slots:
    void pointerMove_data();
    void pointerMove();
    void fullReplay_data() { pointerMove_data(); }
    void fullReplay();

private:
    // A board with `items` earlier pen strokes of 40 points each and a stroke being drawn.
    static void annotate(GraphManager* history, int items);
};

void HistoryBench::pointerMove_data()
{
    QTest::addColumn<int>("items");
    QTest::newRow("1 item") << 1;
    QTest::newRow("50 items") << 50;
    QTest::newRow("200 items") << 200;
}

void HistoryBench::pointerMove()
{
    QFETCH(int, items);
    FullHdCapture capture;
    ScreenCapture::setInstance(&capture);
    {
        Screenview view;
        GraphManager* history = view.manager();
        annotate(history, items);
        // The first repaint after the strokes above pays for all of them once.
        history->addPoint(100, 500);
        int x = 103;
        QBENCHMARK {
            history->addPoint(x, 500);
            x = x % 1800 + 3;
        }
    }
    ScreenCapture::setInstance(nullptr);
}

void HistoryBench::fullReplay()
{
    QFETCH(int, items);
    FullHdCapture capture;
    ScreenCapture::setInstance(&capture);
    {
        Screenview view;
        annotate(view.manager(), items);
        QBENCHMARK {
            view.manager()->replay();
        }
    }
    ScreenCapture::setInstance(nullptr);
}

void HistoryBench::annotate(GraphManager* history, int items)
{
    for (int i = 0; i < items; ++i) {
        GraphActioner* stroke = history->beginAction(Pen);
        stroke->setProperty("size", 4);
        stroke->setProperty("r", 255);
        stroke->setProperty("a", 255);
        for (int p = 0; p < 40; ++p) {
            stroke->addPoint(QPoint(20 + p * 10, 20 + (i * 5) % 1000 + (p % 7)));
        }
    }
    GraphActioner* current = history->beginAction(Pen);
    current->setProperty("size", 4);
    current->setProperty("a", 255);
}

QTEST_MAIN(HistoryBench)
#include "history_bench.moc"
