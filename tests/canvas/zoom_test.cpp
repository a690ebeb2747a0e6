// Zoom and pan on a real canvas window: the scale steps, the pan clamp that
// keeps the board's edges out of view, the pan kept across a restore, and
// every tool, undo, redo and print leaving zoom first.
#include "output_fixture.h"

#include "canvas/GraphType.h"
#include "canvas/PrintGrapWindow.h"

#include <QWheelEvent>
#include <QtTest>

namespace {
// Pans by dragging in zoom mode (logical pixels), then lets the window paint.
void pan(Board& board, QPoint from, QPoint by)
{
    board.drag(from, from + by, Qt::LeftButton, 4);
    board.view->repaint();
}

void wheel(QWidget* w, int delta, Qt::MouseButtons buttons)
{
    const QPointF pos(100, 100);
    QWheelEvent event(pos, w->mapToGlobal(pos.toPoint()), QPoint(), QPoint(0, delta), buttons, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

int limit(double scale, int extent)
{
    return int((scale - 1.0) * extent) / 2;
}
}

class ZoomTest : public QObject
{
    Q_OBJECT

private slots:
    void scaleMovesInStepsAndNeverBelowOne()
    {
        Board board;
        for (int i = 0; i < 5; ++i)
            board.view->zoomIn();
        QVERIFY(board.view->isZoomMode());
        // Five steps of 0.2 add up to just under 2: compared exactly, as QCOMPARE would not.
        QVERIFY2(board.canvas().scale == 1.9999999999999998,
                 qPrintable(QString::number(board.canvas().scale, 'g', 17)));
        for (int i = 0; i < 5; ++i)
            board.view->zoomOut();
        QCOMPARE(board.canvas().scale, 1.0);
        board.view->zoomOut();
        QCOMPARE(board.canvas().scale, 1.0);
        // No upper limit.
        for (int i = 0; i < 50; ++i)
            board.view->zoomIn();
        QVERIFY(board.canvas().scale > 10.9);
    }

    void panIsClampedToHalfTheOverflow()
    {
        Board board;
        QVERIFY(board.exposed);
        const int w = board.view->width();
        const int h = board.view->height();
        for (int i = 0; i < 5; ++i)
            board.view->zoomIn();
        pan(board, QPoint(2, 2), QPoint(w - 4, h - 4));
        QCOMPARE(board.canvas().offsetX, limit(board.canvas().scale, w));
        QCOMPARE(board.canvas().offsetY, limit(board.canvas().scale, h));
        if (w == 1920 && h == 1080) {
            QCOMPARE(board.canvas().offsetX, 959);
            QCOMPARE(board.canvas().offsetY, 539);
        }
        // Far the other way: the opposite edge holds.
        for (int i = 0; i < 3; ++i)
            pan(board, QPoint(w - 2, h - 2), QPoint(-(w - 4), -(h - 4)));
        QCOMPARE(board.canvas().offsetX, -limit(board.canvas().scale, w));
        QCOMPARE(board.canvas().offsetY, -limit(board.canvas().scale, h));
    }

    void panLimitFollowsTheScale()
    {
        // At 1.4 the horizontal limit is 383 on a 1920-wide window.
        Board board;
        const int w = board.view->width();
        board.view->zoomIn();
        board.view->zoomIn();
        pan(board, QPoint(2, 300), QPoint(w - 4, 0));
        QCOMPARE(board.canvas().offsetX, limit(1.4, w));
        if (w == 1920)
            QCOMPARE(board.canvas().offsetX, 383);
    }

    void boardFollowsThePointerWhilePanning()
    {
        Board board;
        board.view->zoomIn();
        board.view->zoomIn();
        pan(board, QPoint(400, 300), QPoint(50, -30));
        QCOMPARE(board.canvas().offsetX, 50);
        QCOMPARE(board.canvas().offsetY, -30);
    }

    void unzoomedBoardFillsTheWindowExactly()
    {
        Board board;
        board.canvas().setOffset(300, -200);
        board.view->repaint();
        QCOMPARE(board.canvas().offsetX, 0);
        QCOMPARE(board.canvas().offsetY, 0);
        QImage shown = board.view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        QCOMPARE(shown, board.image().convertToFormat(QImage::Format_RGB32));
    }

    void zoomMagnifiesAboutTheCentre()
    {
        Board board;
        board.view->zoomIn();
        board.view->zoomIn();
        const QImage shown = board.view->grab().toImage();
        const QImage& image = board.image();
        // The centre stays; a point off-centre moves outward by the scale.
        const QPoint c(image.width() / 2, image.height() / 2);
        const QPoint probe(c.x() + 100, c.y() + 60);
        const QPoint shownAt(c.x() + 140, c.y() + 84);
        QCOMPARE(shown.pixel(shownAt), image.pixel(probe));
        QVERIFY(shown.pixel(probe) != image.pixel(probe));
    }

    void restoreKeepsThePanForTheNextZoom()
    {
        Board board;
        board.view->zoomIn();
        pan(board, QPoint(500, 300), QPoint(40, 20));
        const QPoint first(board.canvas().offsetX, board.canvas().offsetY);
        QVERIFY(first.x() > 0 && first.y() > 0);
        board.view->restoreZoom();
        board.view->repaint();
        QCOMPARE(board.canvas().offsetX, 0);
        board.view->zoomIn();
        pan(board, QPoint(500, 300), QPoint(4, 0));
        // The drag continues from the earlier pan rather than from zero.
        QCOMPARE(board.canvas().offsetX, first.x() + 4);
        QCOMPARE(board.canvas().offsetY, first.y());
    }

    void zoomModePressesPanAndDrawNothing()
    {
        Board board;
        board.view->zoomIn();
        const size_t items = board.history().painted().size();
        const QImage before = board.image().copy();
        board.drag(QPoint(100, 100), QPoint(300, 200));
        QCOMPARE(board.history().painted().size(), items);
        QCOMPARE(board.image(), before);
    }

    void wheelZoomsOnlyDuringAZoomDrag()
    {
        Board board;
        wheel(board.view.get(), 120, Qt::NoButton);
        QCOMPARE(board.canvas().scale, 1.0);
        board.view->zoomIn();
        wheel(board.view.get(), 120, Qt::NoButton);
        QCOMPARE(board.canvas().scale, 1.2);
        board.press(QPoint(200, 200));
        wheel(board.view.get(), 120, Qt::LeftButton);
        QCOMPARE(board.canvas().scale, 1.4);
        wheel(board.view.get(), -120, Qt::LeftButton);
        QCOMPARE(board.canvas().scale, 1.2);
        board.release(QPoint(200, 200));
    }

    void everyToolUndoRedoAndPrintLeaveZoom_data()
    {
        QTest::addColumn<int>("command");
        const char* names[] = {"pen", "eraser", "line", "arrow", "rect", "solid rect", "ellipse", "solid ellipse",
                               "mark pen", "text", "tick", "cross", "select area", "picker", "undo", "redo", "print"};
        for (int i = 0; i < int(sizeof(names) / sizeof(*names)); ++i)
            QTest::newRow(names[i]) << i;
    }

    void everyToolUndoRedoAndPrintLeaveZoom()
    {
        QFETCH(int, command);
        Board board;
        Screenview* v = board.view.get();
        const std::function<void()> commands[] = {
            [v] { v->selectPen(); }, [v] { v->selectEraser(); }, [v] { v->selectLine(); },
            [v] { v->selectArrow(); }, [v] { v->selectRect(false); }, [v] { v->selectRect(true); },
            [v] { v->selectEllipse(false); }, [v] { v->selectEllipse(true); }, [v] { v->selectMarkPen(); },
            [v] { v->selectText(); }, [v] { v->selectRightSymbol(); }, [v] { v->selectWrongSymbol(); },
            [v] { v->selectArea(); }, [v] { v->selectColorPicker(); }, [v] { v->undo(); }, [v] { v->redo(); },
            [v] {
                bool shown = false;
                QTimer::singleShot(0, [&shown] {
                    if (auto* window = qobject_cast<PrintGrapWindow*>(QApplication::activeModalWidget())) {
                        shown = true;
                        window->reject();
                    }
                });
                v->print();
                QVERIFY(shown);
            },
        };
        board.view->zoomIn();
        board.view->zoomIn();
        commands[command]();
        QVERIFY(!board.view->isZoomMode());
        QCOMPARE(board.canvas().scale, 1.0);
    }

    void partialRepaintMatchesTheFullPicture_data()
    {
        QTest::addColumn<bool>("zoomed");
        QTest::addColumn<QRect>("area");
        QTest::newRow("unzoomed, odd corner") << false << QRect(11, 7, 133, 71);
        QTest::newRow("unzoomed, right edge") << false << QRect(-1, 300, 0, 41);
        // Even logical corners stay on whole device pixels at a ratio of 1.5, as a
        // window's own repaints always do.
        QTest::newRow("zoomed") << true << QRect(202, 104, 96, 56);
    }

    void partialRepaintMatchesTheFullPicture()
    {
        QFETCH(bool, zoomed);
        QFETCH(QRect, area);
        Board board;
        if (area.x() < 0)
            area.moveLeft(board.view->width() - 57), area.setWidth(57);
        if (zoomed) {
            board.view->zoomIn();
            board.canvas().setOffset(37, -21);
        }
        const QImage full = board.view->grab().toImage();
        const QImage part = board.view->grab(area).toImage();
        const QRect device(qFloor(area.x() * Board::ratio()), qFloor(area.y() * Board::ratio()), part.width(),
                           part.height());
        QImage expected = full.copy(device);
        expected.setDevicePixelRatio(part.devicePixelRatio());
        QCOMPARE(part, expected);
    }
};

QTEST_MAIN(ZoomTest)
#include "zoom_test.moc"
