// The colour picker reading a real X screen: the pixel under the pointer,
// with the picker itself shown at the pointer (it must not hide the board).
#include "canvas/ColorPicker.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QtTest>

namespace {
// Stands in for the frozen board: known colours in known places.
class Board : public QWidget
{
public:
    Board()
    {
        setWindowFlags(Qt::FramelessWindowHint);
        setGeometry(QGuiApplication::primaryScreen()->geometry());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int half = width() / 2;
        p.fillRect(QRect(0, 0, half, height()), QColor(255, 255, 255));
        p.fillRect(QRect(half, 0, width() - half, height() / 2), QColor(255, 0, 0));
        p.fillRect(QRect(half, height() / 2, width() - half, height() - height() / 2), QColor(18, 52, 86));
    }
};
}

class PickerScreenTest : public QObject
{
    Q_OBJECT

private:
    void pointAt(const QPoint& p)
    {
        QCursor::setPos(p);
        QTRY_COMPARE(QCursor::pos(), p);
    }

private slots:
    void readsThePixelUnderThePointer_data()
    {
        QTest::addColumn<QPointF>("where");
        QTest::addColumn<QString>("rgb");
        QTest::addColumn<QString>("web");
        QTest::addColumn<QString>("textColor");
        QTest::newRow("white") << QPointF(0.25, 0.5) << "255, 255, 255" << "#FFFFFF" << "10, 10, 10";
        QTest::newRow("red") << QPointF(0.75, 0.25) << "255, 0, 0" << "#FF0000" << "255, 255, 255";
        QTest::newRow("dark blue") << QPointF(0.75, 0.75) << "18, 52, 86" << "#123456" << "255, 255, 255";
    }

    void readsThePixelUnderThePointer()
    {
        QFETCH(QPointF, where);
        QFETCH(QString, rgb);
        QFETCH(QString, web);
        QFETCH(QString, textColor);

        Board board;
        board.show();
        QVERIFY(QTest::qWaitForWindowExposed(&board));
        ColorPicker picker(&board);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint p(int(screen.width() * where.x()), int(screen.height() * where.y()));
        pointAt(p);
        picker.follow(board.mapFromGlobal(p));
        picker.start();
        QVERIFY(QTest::qWaitForWindowExposed(&board));
        // Let the picker's first frame reach the screen before reading it.
        QTRY_VERIFY_WITH_TIMEOUT((picker.showColorValue(), picker.rgbField()->text() == rgb), 5000);
        QCOMPARE(picker.webField()->text(), web);
        QCOMPARE(picker.swatch()->styleSheet(),
                 QStringLiteral("background-color: rgb(%1);color: rgb(%2)").arg(rgb, textColor));
        QCOMPARE(picker.positionField()->text(), QStringLiteral("x:%1  y:%2").arg(p.x()).arg(p.y()));
        picker.stop();
    }

    void timerKeepsTheFieldsCurrent()
    {
        Board board;
        board.show();
        QVERIFY(QTest::qWaitForWindowExposed(&board));
        ColorPicker picker(&board);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        pointAt(QPoint(screen.width() / 4, screen.height() / 2));
        picker.start();
        QTRY_COMPARE(picker.rgbField()->text(), QStringLiteral("255, 255, 255"));
        // The pointer moves on; the running timer alone must pick it up.
        pointAt(QPoint(screen.width() * 3 / 4, screen.height() / 4));
        QTRY_COMPARE(picker.rgbField()->text(), QStringLiteral("255, 0, 0"));
        picker.stop();
    }
};

QTEST_MAIN(PickerScreenTest)
#include "picker_screen_test.moc"
