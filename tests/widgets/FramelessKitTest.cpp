#include "widgets/Button.h"
#include "widgets/FramelessDraggableWindow.h"
#include "widgets/FramelessWidget.h"
#include "widgets/PubLabel.h"
#include "widgets/PubWindow.h"
#include "widgets/ShadowWidget.h"
#include "widgets/SvgButton.h"

#include <QApplication>
#include <QDialog>
#include <QHoverEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void send(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, local, w->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void hover(QWidget* w, const QPoint& local)
{
    QHoverEvent e(QEvent::HoverMove, local, local);
    QApplication::sendEvent(w, &e);
}

// A top-level widget managed by a FramelessWidget, at a known geometry.
struct Managed {
    QWidget widget;
    FramelessWidget* frame = nullptr;
    Managed()
    {
        widget.setWindowFlags(Qt::FramelessWindowHint);
        widget.setGeometry(100, 100, 300, 200);
        widget.setMinimumSize(200, 150);
        frame = new FramelessWidget(&widget);
    }
};

QString sprite(QTemporaryDir& dir, int tiles)
{
    // One column of 10 x 10 tiles, each a different grey.
    QImage img(10, 10 * tiles, QImage::Format_ARGB32);
    for (int i = 0; i < tiles; ++i)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                img.setPixel(x, 10 * i + y, qRgb(50 * (i + 1), 50 * (i + 1), 50 * (i + 1)));
    const QString path = dir.filePath(QString("sprite%1.png").arg(tiles));
    img.save(path);
    return path;
}

}  // namespace

class FramelessKitTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void framelessZonesStopWhereTheCornersBegin_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("zone");
        // 300 x 200, padding 8.
        QTest::newRow("top-left square") << QPoint(7, 7) << int(FramelessWidget::LeftTop);
        QTest::newRow("just below it") << QPoint(0, 8) << int(FramelessWidget::Left);
        QTest::newRow("just right of it") << QPoint(8, 0) << int(FramelessWidget::Top);
        QTest::newRow("top-right square") << QPoint(292, 0) << int(FramelessWidget::RightTop);
        QTest::newRow("right edge") << QPoint(299, 100) << int(FramelessWidget::Right);
        QTest::newRow("bottom edge") << QPoint(150, 192) << int(FramelessWidget::Bottom);
        QTest::newRow("bottom-left") << QPoint(0, 199) << int(FramelessWidget::LeftBottom);
        QTest::newRow("bottom-right") << QPoint(299, 199) << int(FramelessWidget::RightBottom);
        QTest::newRow("body") << QPoint(8, 8) << int(FramelessWidget::None);
    }

    void framelessZonesStopWhereTheCornersBegin()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, zone);
        Managed m;
        m.widget.show();
        QCOMPARE(int(m.frame->zoneAt(pos)), zone);
        send(&m.widget, QEvent::MouseButtonPress, pos);
        QCOMPARE(int(m.frame->pressedZone()), zone);
        send(&m.widget, QEvent::MouseButtonRelease, pos);
        QCOMPARE(int(m.frame->pressedZone()), int(FramelessWidget::None));
    }

    void framelessDragsMoveAndResize()
    {
        Managed m;
        m.widget.show();
        // The body moves the widget.
        send(&m.widget, QEvent::MouseButtonPress, QPoint(100, 100));
        hover(&m.widget, QPoint(130, 90));
        send(&m.widget, QEvent::MouseButtonRelease, QPoint(100, 100));
        QCOMPARE(m.widget.geometry(), QRect(130, 90, 300, 200));

        // The right-bottom corner grows it.
        send(&m.widget, QEvent::MouseButtonPress, QPoint(298, 198));
        hover(&m.widget, QPoint(318, 228));
        send(&m.widget, QEvent::MouseButtonRelease, QPoint(318, 228));
        QCOMPARE(m.widget.geometry(), QRect(130, 90, 320, 230));

        // The left edge shrinks it from the left.
        send(&m.widget, QEvent::MouseButtonPress, QPoint(2, 100));
        hover(&m.widget, QPoint(22, 100));
        send(&m.widget, QEvent::MouseButtonRelease, QPoint(22, 100));
        QCOMPARE(m.widget.geometry(), QRect(150, 90, 300, 230));

        // Disabled moving and resizing leave it alone.
        m.frame->setMoveEnable(false);
        m.frame->setResizeEnable(false);
        send(&m.widget, QEvent::MouseButtonPress, QPoint(100, 100));
        hover(&m.widget, QPoint(140, 140));
        send(&m.widget, QEvent::MouseButtonRelease, QPoint(140, 140));
        QCOMPARE(m.widget.geometry(), QRect(150, 90, 300, 230));
    }

    void framelessLeftAndTopStopAtTheMinimumSize_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("left") << QPoint(2, 100) << QPoint(150, 100);
        QTest::newRow("top") << QPoint(150, 2) << QPoint(150, 120);
        QTest::newRow("left-top") << QPoint(2, 2) << QPoint(150, 120);
    }

    void framelessLeftAndTopStopAtTheMinimumSize()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, to);
        Managed m;
        m.widget.show();
        const QRect before = m.widget.geometry();
        send(&m.widget, QEvent::MouseButtonPress, press);
        hover(&m.widget, to);
        send(&m.widget, QEvent::MouseButtonRelease, to);
        QCOMPARE(m.widget.geometry(), before);
    }

    void framelessTakesOnlyItsFirstWidget()
    {
        QWidget a, b;
        FramelessWidget frame;
        frame.setWidget(&a);
        frame.setWidget(&b);
        QVERIFY(a.testAttribute(Qt::WA_Hover));
        QVERIFY(!b.testAttribute(Qt::WA_Hover));
    }

    void pubWindowZoneCodes_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("code");
        // 200 x 300 window, 20-pixel bands.
        QTest::newRow("top-left") << QPoint(20, 20) << 0;
        QTest::newRow("top") << QPoint(21, 0) << 1;
        QTest::newRow("top-right") << QPoint(181, 5) << 2;
        QTest::newRow("right band starts past width - 20") << QPoint(180, 100) << 11;
        QTest::newRow("left") << QPoint(0, 150) << 10;
        QTest::newRow("body") << QPoint(100, 150) << 11;
        QTest::newRow("right") << QPoint(199, 150) << 12;
        QTest::newRow("bottom-left") << QPoint(3, 299) << 20;
        QTest::newRow("bottom") << QPoint(100, 281) << 21;
        QTest::newRow("bottom-right") << QPoint(199, 299) << 22;
    }

    void pubWindowZoneCodes()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, code);
        PubWindow w;
        w.resize(200, 300);
        QCOMPARE(w.zoneAt(pos), code);
    }

    void pubWindowMovesAndResizesOnlyWhenAllowed()
    {
        PubWindow w;
        w.setGeometry(100, 100, 200, 300);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        send(&w, QEvent::MouseButtonPress, QPoint(100, 150));
        send(&w, QEvent::MouseMove, QPoint(110, 170));
        send(&w, QEvent::MouseButtonRelease, QPoint(110, 170));
        QCOMPARE(w.pos(), QPoint(110, 120));

        // Not resizable: the bottom-right band moves nothing.
        const QRect before = w.geometry();
        send(&w, QEvent::MouseButtonPress, QPoint(195, 295));
        send(&w, QEvent::MouseMove, QPoint(215, 315));
        send(&w, QEvent::MouseButtonRelease, QPoint(215, 315));
        QCOMPARE(w.geometry(), before);

        w.setResizable(true);
        send(&w, QEvent::MouseButtonPress, QPoint(195, 295));
        send(&w, QEvent::MouseMove, QPoint(215, 315));
        send(&w, QEvent::MouseButtonRelease, QPoint(215, 315));
        QCOMPARE(w.geometry(), before.adjusted(0, 0, 20, 20));
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        send(&w, QEvent::MouseMove, QPoint(5, 150));
        QCOMPARE(w.cursor().shape(), Qt::SizeHorCursor);
        w.setResizable(false);
        send(&w, QEvent::MouseMove, QPoint(6, 150));
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    }

    void maximisedPubWindowRestoresInsteadOfResizing()
    {
        PubWindow w;
        w.setResizable(true);
        QSignalSpy states(&w, &PubWindow::windowStateChaned);
        w.setGeometry(100, 100, 200, 300);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.shadowMargin(), 10);
        QVERIFY(w.centralWidget()->graphicsEffect());

        w.setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(w.isMaximized());
        QVERIFY(states.count() >= 1);
        QCOMPARE(w.shadowMargin(), 0);
        QVERIFY(!w.centralWidget()->graphicsEffect());
        QCOMPARE(w.zoneAt(QPoint(0, 0)), 11);
        QCOMPARE(w.zoneAt(QPoint(w.width() - 1, w.height() - 1)), 11);

        // A press in the corner band of a maximised window is a body press:
        // dragging restores the normal size.
        send(&w, QEvent::MouseButtonPress, QPoint(2, 2));
        QCOMPARE(w.pressedZone(), 11);
        send(&w, QEvent::MouseMove, QPoint(12, 42));
        send(&w, QEvent::MouseButtonRelease, QPoint(12, 42));
        QTRY_VERIFY(!w.isMaximized());
        QCOMPARE(w.size(), QSize(200, 300));
        QCOMPARE(w.shadowMargin(), 10);
        QVERIFY(w.centralWidget()->graphicsEffect());
    }

    void draggableZonesHaveInclusiveBounds()
    {
        FramelessDraggableWindow<QDialog> w(true, nullptr, true);
        w.setGeometry(100, 100, 300, 200);
        w.setResizable(true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int b = w.edgeWidth();
        const QPoint tl = w.mapToGlobal(QPoint(0, 0));
        const QPoint br = w.mapToGlobal(QPoint(299, 199));
        using W = FramelessDraggableWindow<QDialog>;
        QCOMPARE(w.zoneAt(tl), int(W::TopLeft));
        QCOMPARE(w.zoneAt(tl + QPoint(b, b)), int(W::TopLeft));
        QCOMPARE(w.zoneAt(tl + QPoint(b + 1, b)), int(W::Top));
        QCOMPARE(w.zoneAt(tl + QPoint(b, b + 1)), int(W::Left));
        QCOMPARE(w.zoneAt(br), int(W::BottomRight));
        QCOMPARE(w.zoneAt(QPoint(br.x() - b, tl.y())), int(W::TopRight));
        QCOMPARE(w.zoneAt(QPoint(tl.x(), br.y() - b)), int(W::BottomLeft));
        QCOMPARE(w.zoneAt(QPoint(br.x(), tl.y() + 100)), int(W::Right));
        QCOMPARE(w.zoneAt(QPoint(tl.x() + 100, br.y())), int(W::Bottom));
        QCOMPARE(w.zoneAt(tl + QPoint(100, 100)), int(W::NoZone));
        QCOMPARE(w.zoneAt(tl - QPoint(1, 1)), int(W::NoZone));
    }

    void draggableResizeKeepsTheMinimumOnLeftAndTop()
    {
        using W = FramelessDraggableWindow<QDialog>;
        const QRect r(100, 100, 300, 200);  // right 399, bottom 299
        QCOMPARE(W::resizedRect(r, W::Right, QPoint(450, 0), 50, 50), QRect(100, 100, 350, 200));
        QCOMPARE(W::resizedRect(r, W::Bottom, QPoint(0, 350), 50, 50), QRect(100, 100, 300, 250));
        QCOMPARE(W::resizedRect(r, W::Left, QPoint(150, 0), 50, 50), QRect(150, 100, 250, 200));
        QCOMPARE(W::resizedRect(r, W::Left, QPoint(349, 0), 50, 50), r);  // right - x == 50: not greater
        QCOMPARE(W::resizedRect(r, W::Top, QPoint(0, 260), 50, 50), r);
        QCOMPARE(W::resizedRect(r, W::TopLeft, QPoint(380, 120), 50, 50), QRect(100, 120, 300, 180));
        QCOMPARE(W::resizedRect(r, W::BottomRight, QPoint(420, 330), 50, 50), QRect(100, 100, 320, 230));
    }

    void draggableMovesOnDragWidgetsOnlyAndStaysOnScreen()
    {
        FramelessDraggableWindow<QDialog> w(false, nullptr, true);
        auto* handle = new QWidget(&w);
        handle->setGeometry(0, 0, 300, 30);
        auto* body = new QWidget(&w);
        body->setGeometry(0, 30, 300, 170);
        w.setDragWidgets({handle});
        w.setGeometry(100, 100, 300, 200);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint start = w.pos();

        send(&w, QEvent::MouseButtonPress, QPoint(50, 10));
        send(&w, QEvent::MouseMove, QPoint(70, 40));
        QCOMPARE(w.pos(), start + QPoint(20, 30));
        // A move whose cursor leaves every screen's available area is ignored.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint before = w.pos();
        QMouseEvent off(QEvent::MouseMove, QPoint(0, 0), screen.bottomRight() + QPoint(500, 500), Qt::NoButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &off);
        QCOMPARE(w.pos(), before);
        send(&w, QEvent::MouseButtonRelease, QPoint(70, 40));

        // The body is no handle.
        send(&w, QEvent::MouseButtonPress, QPoint(50, 100));
        send(&w, QEvent::MouseMove, QPoint(90, 150));
        send(&w, QEvent::MouseButtonRelease, QPoint(90, 150));
        QCOMPARE(w.pos(), before);

        // A locked window does not follow a handle drag.
        w.setMoveLocked(true);
        send(&w, QEvent::MouseButtonPress, QPoint(50, 10));
        send(&w, QEvent::MouseMove, QPoint(90, 50));
        send(&w, QEvent::MouseButtonRelease, QPoint(90, 50));
        QCOMPARE(w.pos(), before);
    }

    void buttonShowsOnlyTheStatesItHasTiles_data()
    {
        QTest::addColumn<int>("tiles");
        QTest::addColumn<int>("hover");
        QTest::addColumn<int>("pressed");
        QTest::newRow("one tile") << 1 << 0 << 0;
        QTest::newRow("two tiles") << 2 << 1 << 1;
        QTest::newRow("three tiles") << 3 << 1 << 2;
    }

    void buttonShowsOnlyTheStatesItHasTiles()
    {
        QFETCH(int, tiles);
        QFETCH(int, hover);
        QFETCH(int, pressed);
        Button b(sprite(dir, tiles), 1, tiles);
        QCOMPARE(b.tileCount(), tiles);
        QCOMPARE(b.sizeHint(), QSize(10, 10));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&b, &enter);
        QCOMPARE(b.currentIndex(), hover);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b.currentIndex(), pressed);
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b.currentIndex(), hover);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&b, &leave);
        QCOMPARE(b.currentIndex(), 0);

        // The painted picture is the tile of the state.
        b.resize(10, 10);
        QApplication::sendEvent(&b, &enter);
        const QImage shot = b.grab().toImage();
        const int grey = 50 * (hover + 1);
        QCOMPARE(QColor(shot.pixel(5, 5)), QColor(grey, grey, grey));
    }

    void buttonTilesRunColumnByColumn()
    {
        // 2 columns x 2 rows: column 0 holds tiles 0 and 1.
        QImage img(20, 20, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        p.fillRect(0, 0, 10, 10, Qt::red);
        p.fillRect(0, 10, 10, 10, Qt::green);
        p.fillRect(10, 0, 10, 10, Qt::blue);
        p.end();
        const QString path = dir.filePath("grid.png");
        img.save(path);
        Button b(path, 2, 2);
        QCOMPARE(b.tileCount(), 4);
        QCOMPARE(QColor(b.tile(0).toImage().pixel(1, 1)), QColor(Qt::red));
        QCOMPARE(QColor(b.tile(1).toImage().pixel(1, 1)), QColor(Qt::green));
        QCOMPARE(QColor(b.tile(2).toImage().pixel(1, 1)), QColor(Qt::blue));

        Button missing(dir.filePath("absent.png"), 1, 4);
        QCOMPARE(missing.tileCount(), 0);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&missing, &enter);
        missing.resize(10, 10);
        missing.grab();  // paints nothing, and does not fail
    }

    void shadowImageFadesInwardsAndSlices()
    {
        const int r = 10;
        const QImage img = ShadowWidget::makeShadowImage(r);
        QCOMPARE(img.size(), QSize(2 * r + 10, 2 * r + 10));
        const int mid = img.height() / 2;
        QCOMPARE(qAlpha(img.pixel(0, mid)), 0);  // outer edge of the left band
        for (int d = 1; d < r; ++d)
            QVERIFY(qAlpha(img.pixel(d, mid)) >= qAlpha(img.pixel(d - 1, mid)));
        QVERIFY(qAlpha(img.pixel(r - 1, mid)) > 20);
        QCOMPARE(qAlpha(img.pixel(mid, mid)), 255);  // the middle stays solid
        // Right band counts 1 at its outer edge: the formula's value for d = 1.
        QCOMPARE(qAlpha(img.pixel(img.width() - 1, mid)), qAlpha(img.pixel(1, mid)));
        QVERIFY(ShadowWidget::makeShadowImage(0).isNull());

        std::array<QRect, 9> parts;
        QVERIFY(ShadowWidget::sliceRect(QRect(0, 0, 30, 30), r + 1, parts));
        QCOMPARE(parts[0], QRect(0, 0, 12, 12));
        QCOMPARE(parts[4], QRect(12, 12, 6, 6));
        QCOMPARE(parts[8], QRect(18, 18, 12, 12));
        QVERIFY(!ShadowWidget::sliceRect(QRect(0, 0, 22, 100), r + 1, parts));
        QVERIFY(!ShadowWidget::sliceRect(QRect(0, 0, 100, 100), 0, parts));

        // Too small to slice: paints nothing rather than failing.
        ShadowWidget tiny(r);
        tiny.resize(15, 15);
        tiny.grab();
    }

    void pubLabelDrawsAFrameOnlyWithABorderWidth()
    {
        PubLabel label;
        label.resize(40, 20);
        label.setBorderColor(Qt::red);
        auto redPixels = [&label] {
            const QImage img = label.grab().toImage();
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    n += QColor(img.pixel(x, y)) == QColor(Qt::red);
            return n;
        };
        QCOMPARE(redPixels(), 0);
        label.setBorderWidth(2);
        QVERIFY(redPixels() > 0);
        label.setText("abc");
        QCOMPARE(label.text(), QString("abc"));
    }

    void svgButtonPicksThePictureOfItsState()
    {
        const QString stem = ":/main/resource/messagebox/btn_blue_90x32_";
        SvgButton b(stem + "normal.svg", stem + "hover.svg", stem + "pressed.svg", stem + "disabled.svg");
        b.resize(90, 32);
        QCOMPARE(b.currentState(), 0);
        b.setDown(true);
        QCOMPARE(b.currentState(), 2);
        b.setDown(false);
        b.setEnabled(false);
        QCOMPARE(b.currentState(), 3);
        // The disabled picture is the pale blue one.
        const QColor c = b.grab().toImage().pixelColor(45, 16);
        QVERIFY(c.blue() > 200 && c.red() > 150);
    }
};

QTEST_MAIN(FramelessKitTest)
#include "FramelessKitTest.moc"
