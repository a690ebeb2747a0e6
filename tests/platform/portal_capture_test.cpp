// The screenshot portal's picture of the whole desktop, cut down to the
// board's screen: any screen of several, whatever scale the desktop was
// pictured at, always opaque.
#include "platform/linux/PortalScreenCapture.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QtTest>

class PortalCaptureTest : public QObject
{
    Q_OBJECT

private slots:
    void cutsOutTheScreenAtItsOwnSize_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QColor>("colour");
        // Two 400 x 100 screens side by side: red, then blue.
        QTest::newRow("second screen, same scale") << QSize(800, 100) << QRect(400, 0, 400, 100) << QColor(Qt::blue);
        QTest::newRow("first screen, same scale") << QSize(800, 100) << QRect(0, 0, 400, 100) << QColor(Qt::red);
        QTest::newRow("pictured at twice the scale") << QSize(1600, 200) << QRect(400, 0, 400, 100)
                                                    << QColor(Qt::blue);
        QTest::newRow("pictured at half the scale") << QSize(400, 50) << QRect(0, 0, 400, 100) << QColor(Qt::red);
    }

    void cutsOutTheScreenAtItsOwnSize()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, area);
        QFETCH(QColor, colour);
        // Half transparent, as some desktops hand out their pictures.
        QImage desktop(picture, QImage::Format_ARGB32);
        desktop.fill(Qt::transparent);
        QPainter painter(&desktop);
        painter.fillRect(QRect(0, 0, picture.width() / 2, picture.height()), QColor(255, 0, 0, 128));
        painter.fillRect(QRect(picture.width() / 2, 0, picture.width() / 2, picture.height()), QColor(0, 0, 255, 128));
        painter.end();

        const QImage part = PortalScreenCapture::cutOut(desktop, QRect(0, 0, 800, 100), area);
        QCOMPARE(part.size(), area.size());
        QCOMPARE(part.format(), QImage::Format_RGB32);
        for (const QPoint& p : {QPoint(0, 0), QPoint(area.width() - 1, area.height() - 1), QPoint(200, 50)}) {
            const QColor seen = part.pixelColor(p);
            QCOMPARE(seen.alpha(), 255);
            QVERIFY2(qAbs(seen.red() - colour.red()) <= 2 && qAbs(seen.blue() - colour.blue()) <= 2,
                     qPrintable(QStringLiteral("%1 at %2,%3").arg(seen.name()).arg(p.x()).arg(p.y())));
        }
    }

    void aPictureNotShowingTheScreenGivesNothing()
    {
        QImage desktop(800, 100, QImage::Format_RGB32);
        desktop.fill(Qt::red);
        QVERIFY(PortalScreenCapture::cutOut(desktop, QRect(0, 0, 800, 100), QRect(2000, 0, 400, 100)).isNull());
        QVERIFY(PortalScreenCapture::cutOut(QImage(), QRect(0, 0, 800, 100), QRect(0, 0, 400, 100)).isNull());
    }
};

QTEST_MAIN(PortalCaptureTest)
#include "portal_capture_test.moc"
