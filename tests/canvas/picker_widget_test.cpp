// The colour picker as a widget: where it goes, what it says for a colour and
// what it shows when nothing could be read.
#include "canvas/ColorPicker.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QtTest>

class PickerWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void isAFixedSizeChildOfTheCanvas()
    {
        QWidget canvas;
        ColorPicker picker(&canvas);
        QCOMPARE(picker.size(), QSize(270, 108));
        QVERIFY(!picker.isWindow());
        QVERIFY(picker.hasMouseTracking());
        QCOMPARE(picker.sampleTimer()->interval(), 100);
        QVERIFY(!picker.sampleTimer()->isActive());
        QCOMPARE(picker.swatch()->text(), QStringLiteral("+"));
        QCOMPARE(picker.swatch()->size(), QSize(80, 70));
    }

    void timerRunsExactlyWhileShown()
    {
        QWidget canvas;
        canvas.resize(800, 600);
        canvas.show();
        ColorPicker picker(&canvas);
        picker.start();
        QVERIFY(picker.isVisible());
        QVERIFY(picker.sampleTimer()->isActive());
        picker.stop();
        QVERIFY(!picker.isVisible());
        QVERIFY(!picker.sampleTimer()->isActive());
    }

    void placement_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("topLeft");
        // 1920 x 1080 screen: right() is 1919, bottom() is 1079.
        QTest::newRow("middle: on the pointer") << QPoint(500, 400) << QPoint(500, 400);
        QTest::newRow("bottom-right corner: above and to the left") << QPoint(1900, 1070) << QPoint(1630, 962);
        QTest::newRow("right edge only: to the left") << QPoint(1700, 300) << QPoint(1430, 300);
        QTest::newRow("bottom edge only: above") << QPoint(300, 1000) << QPoint(300, 892);
        QTest::newRow("exactly one width from the edge flips") << QPoint(1649, 10) << QPoint(1379, 10);
        QTest::newRow("one pixel more room stays") << QPoint(1648, 10) << QPoint(1648, 10);
    }

    void placement()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, topLeft);
        QCOMPARE(ColorPicker::placement(pointer, QSize(270, 108), QRect(0, 0, 1920, 1080)), topLeft);
    }

    void followMovesThePickerOnScreen()
    {
        QWidget canvas;
        ColorPicker picker(&canvas);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        picker.follow(QPoint(screen.right() - 5, screen.bottom() - 5));
        QVERIFY(picker.geometry().right() < screen.right());
        QVERIFY(picker.geometry().bottom() < screen.bottom());
        QVERIFY(picker.x() >= 0 && picker.y() >= 0);
    }

    void followFlipsAtTheCanvasEdgesNotTheScreens()
    {
        // A board on a screen away from the desktop's origin: positions come
        // in canvas coordinates, so the canvas's edges are the ones that count.
        QWidget canvas;
        canvas.resize(400, 300);
        ColorPicker picker(&canvas);
        picker.follow(QPoint(300, 250));
        QCOMPARE(picker.pos(), QPoint(300 - picker.width(), 250 - picker.height()));
        picker.follow(QPoint(20, 20));
        QCOMPARE(picker.pos(), QPoint(20, 20));
    }

    void texts_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("rgb");
        QTest::addColumn<QString>("web");
        QTest::addColumn<QString>("textColor");
        QTest::newRow("white: dark text") << QColor(255, 255, 255) << "255, 255, 255" << "#FFFFFF" << "10, 10, 10";
        QTest::newRow("pure red: white text") << QColor(255, 0, 0) << "255, 0, 0" << "#FF0000" << "255, 255, 255";
        QTest::newRow("swatch's first colour") << QColor(255, 107, 107) << "255, 107, 107" << "#FF6B6B" << "255, 255, 255";
        QTest::newRow("small values are zero-padded") << QColor(10, 11, 12) << "10, 11, 12" << "#0A0B0C" << "255, 255, 255";
        QTest::newRow("light but one channel at 200") << QColor(201, 200, 255) << "201, 200, 255" << "#C9C8FF" << "255, 255, 255";
        QTest::newRow("all above 200") << QColor(201, 201, 201) << "201, 201, 201" << "#C9C9C9" << "10, 10, 10";
    }

    void texts()
    {
        QFETCH(QColor, color);
        QFETCH(QString, rgb);
        QFETCH(QString, web);
        QFETCH(QString, textColor);
        ColorPicker picker;
        picker.showColor(color);
        QCOMPARE(picker.rgbField()->text(), rgb);
        QCOMPARE(picker.webField()->text(), web);
        QCOMPARE(picker.swatch()->styleSheet(),
                 QStringLiteral("background-color: rgb(%1);color: rgb(%2)").arg(rgb, textColor));
    }

    void failedGrabEmptiesTheFields()
    {
        // The offscreen platform cannot grab the screen: the grab is null.
        ColorPicker picker;
        picker.showColor(QColor(1, 2, 3));
        picker.showColorValue();
        QCOMPARE(picker.rgbField()->text(), QString());
        QCOMPARE(picker.webField()->text(), QString());
        QVERIFY(!picker.swatch()->styleSheet().contains(QStringLiteral("1, 2, 3")));
        QVERIFY(!picker.swatch()->styleSheet().contains(QStringLiteral("background-color: rgb(")));
        const QPoint p = QCursor::pos();
        QCOMPARE(picker.positionField()->text(), QStringLiteral("x:%1  y:%2").arg(p.x()).arg(p.y()));
    }
};

QTEST_MAIN(PickerWidgetTest)
#include "picker_widget_test.moc"
