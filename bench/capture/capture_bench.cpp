// How long opening a board's snapshot and one full replay take.
#include "canvas/CanvasView.h"
#include "canvas/GraphActioner.h"
#include "canvas/GraphType.h"
#include "platform/ScreenCapture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <memory>
#include <vector>

class CaptureBench : public QObject {
    Q_OBJECT

private slots:
    void fullScreenGrab()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QBENCHMARK {
            ScreenCapture::instance().captureScreen(0, screen.x(), screen.y(), screen.width(),
                                                    screen.height());
        }
    }

    void boardOpening()
    {
        QBENCHMARK {
            CanvasView view;
            view.registerGraphs();
            view.attachView(nullptr);
        }
    }

    // A busy board: 100 pen strokes of 50 points each over the snapshot.
    void replayHundredStrokes()
    {
        CanvasView view;
        view.registerGraphs();
        view.attachView(nullptr);
        std::vector<std::unique_ptr<GraphActioner>> items;
        auto background = std::make_unique<GraphActioner>();
        background->type = Image;
        items.push_back(std::move(background));
        for (int s = 0; s < 100; ++s) {
            auto item = std::make_unique<GraphActioner>();
            item->type = Pen;
            item->setProperty("size", 4);
            item->setProperty("r", 255);
            item->setProperty("a", 200);
            for (int p = 0; p < 50; ++p) {
                item->addPoint(QPoint(10 + p * 30, 10 + s * 9 + (p % 2) * 5));
            }
            items.push_back(std::move(item));
        }
        for (auto& item : items) {
            item->attach(&view);
        }
        QBENCHMARK {
            for (auto& item : items) {
                item->notify();
            }
        }
    }
};

QTEST_MAIN(CaptureBench)
#include "capture_bench.moc"
