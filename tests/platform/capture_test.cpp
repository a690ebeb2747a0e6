// The system screen grab against what the X server really shows. The same
// cases run at scale 1 and, in a second registration, at QT_SCALE_FACTOR=1.5.
#include "platform/ScreenCapture.h"
#include "platform/linux/X11ScreenCapture.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstring>

namespace {

QStringList fallbackNotes;

void noteFallback(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg && message.startsWith(QLatin1String("Screen capture:"))) {
        fallbackNotes.append(message);
    }
}

const QColor kRoot(0x33, 0x66, 0x99);

// Shows a picture pixel for pixel, whatever the scale.
class PictureWindow : public QWidget {
public:
    explicit PictureWindow(const QImage& picture)
        : QWidget(nullptr, Qt::FramelessWindowHint)
        , picture(picture)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, picture);
    }

private:
    QImage picture;
};

// The pointer as the X server holds it, in physical pixels.
struct Pointer {
    QPoint position;
    QImage picture;
};

class XDisplay {
public:
    XDisplay()
        : display(XOpenDisplay(nullptr))
    {
    }
    ~XDisplay()
    {
        if (display) {
            XCloseDisplay(display);
        }
    }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    void movePointer(QPoint physical)
    {
        XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, physical.x(),
                     physical.y());
        XSync(display, False);
    }

    Pointer pointer()
    {
        Pointer result;
        XFixesCursorImage* cursor = XFixesGetCursorImage(display);
        if (!cursor) {
            return result;
        }
        result.position = QPoint(cursor->x, cursor->y);
        result.picture = QImage(cursor->width, cursor->height, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < cursor->height; ++y) {
            for (int x = 0; x < cursor->width; ++x) {
                result.picture.setPixel(
                    x, y, static_cast<uint32_t>(cursor->pixels[y * cursor->width + x]));
            }
        }
        XFree(cursor);
        return result;
    }

    Display* display = nullptr;
};

double scale()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

QPixmap capture(QRect logical)
{
    return ScreenCapture::instance().captureScreen(0, logical.x(), logical.y(), logical.width(),
                                                   logical.height());
}

// The root window, a known colour, everywhere nothing else is shown.
void paintRoot()
{
    QCOMPARE(QProcess::execute("xsetroot", { "-solid", kRoot.name() }), 0);
}

// Reads the stored words: for an RGB32 image pixel() reports alpha 255
// whatever the pad byte holds, yet drawing and converting it may not.
bool allOpaque(const QImage& image)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32
        && image.format() != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

// Pixels that are not the root colour.
QRect marks(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != kRoot) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

} // namespace

class CaptureTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        paintRoot();
        // On the desktop's corner, which is on the edge of every area below
        // that reaches it and outside the others.
        x.movePointer(QPoint(0, 0));
    }

    void shownPixelsComeBackExactlyAndOpaque()
    {
        QImage picture(64, 48, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                picture.setPixel(x, y, 0xFF000000u | random.generate());
            }
        }
        picture.setDevicePixelRatio(scale());
        PictureWindow window(picture);
        const QSize logical(qRound(64 / scale()), qRound(48 / scale()));
        window.setGeometry(QRect(QPoint(200, 150), logical));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The picture reaches the server a little after exposure; poll, bounded.
        const QRect area(200, 150, logical.width(), logical.height());
        QImage shot;
        QImage expected = picture.copy(0, 0, int(area.width() * scale()), int(area.height() * scale()));
        expected.setDevicePixelRatio(1.0);
        QElapsedTimer waited;
        waited.start();
        do {
            QTest::qWait(20);
            shot = capture(area).toImage();
        } while (shot.convertToFormat(QImage::Format_RGB32) != expected && waited.elapsed() < 5000);
        QCOMPARE(shot.size(), expected.size());
        QCOMPARE(shot.convertToFormat(QImage::Format_RGB32), expected);
        QVERIFY(allOpaque(shot));
    }

    void wholeScreenPictureComesBackExactly()
    {
        // Large grabs are taken in bands: every row must land where it was.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize physical = screen.size() * scale();
        QImage picture(physical, QImage::Format_RGB32);
        QRandomGenerator random(11);
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                row[x] = 0xFF000000u | random.generate();
            }
        }
        picture.setDevicePixelRatio(scale());
        PictureWindow window(picture);
        window.setGeometry(screen);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QImage expected = picture.copy();
        expected.setDevicePixelRatio(1.0);
        QImage shot;
        QElapsedTimer waited;
        waited.start();
        do {
            QTest::qWait(20);
            shot = capture(screen).toImage().convertToFormat(QImage::Format_RGB32);
        } while (shot != expected && waited.elapsed() < 5000);
        QCOMPARE(shot.size(), expected.size());
        for (int y = 0; y < expected.height(); ++y) {
            if (std::memcmp(shot.constScanLine(y), expected.constScanLine(y), size_t(expected.width()) * 4) != 0)
                QFAIL(qPrintable(QString("row %1 differs").arg(y)));
        }
    }

    void wholeScreenAtPhysicalResolution()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QImage shot = capture(screen).toImage();
        QCOMPARE(shot.size(), screen.size() * scale());
        if (scale() == 1.5) {
            QCOMPARE(screen.size(), QSize(1280, 720));
            QCOMPARE(shot.size(), QSize(1920, 1080));
        }
        QVERIFY(marks(shot).isEmpty());
        QVERIFY(allOpaque(shot));
    }

    void pointerDrawnWithTopLeftAtPointer()
    {
        const QPoint at(301, 203);
        x.movePointer(at);
        const Pointer pointer = x.pointer();
        QCOMPARE(pointer.position, at);
        QVERIFY(!pointer.picture.isNull());

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QImage shot = capture(screen).toImage();
        QImage expected(shot.size(), QImage::Format_RGB32);
        expected.fill(kRoot);
        QPainter painter(&expected);
        painter.drawImage(at, pointer.picture);
        painter.end();
        QCOMPARE(shot.convertToFormat(QImage::Format_RGB32), expected);
        QVERIFY(!marks(shot).isEmpty());
        QVERIFY(allOpaque(shot));
    }

    void pointerOnLeftOrTopEdgeNotDrawn_data()
    {
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("on the left edge") << QPoint(0, 10) << false;
        QTest::newRow("on the top edge") << QPoint(10, 0) << false;
        QTest::newRow("on the corner") << QPoint(0, 0) << false;
        QTest::newRow("one pixel inside") << QPoint(1, 1) << true;
        QTest::newRow("left of the area") << QPoint(-3, 10) << false;
    }

    void pointerOnLeftOrTopEdgeNotDrawn()
    {
        QFETCH(QPoint, offset);
        QFETCH(bool, drawn);
        // An area whose corner falls on whole physical pixels at either scale.
        const QRect logical(100, 100, 200, 100);
        const QPoint corner = logical.topLeft() * scale();
        x.movePointer(corner + offset);
        const QImage shot = capture(logical).toImage();
        QCOMPARE(shot.size(), logical.size() * scale());
        const QRect found = marks(shot);
        QCOMPARE(!found.isEmpty(), drawn);
        if (drawn) {
            QVERIFY(found.left() >= offset.x() && found.top() >= offset.y());
        }
    }

    void areaOffTheDesktopIsBlack()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect logical(screen.width() - 20, 40, 40, 20);
        const QImage shot = capture(logical).toImage();
        QCOMPARE(shot.size(), logical.size() * scale());
        QCOMPARE(shot.pixelColor(0, 0), kRoot);
        QCOMPARE(shot.pixelColor(shot.width() - 1, 0), QColor(Qt::black));
        QVERIFY(allOpaque(shot));
    }

    void failureGivesNullAndWarning()
    {
        // A window that does not exist, measured for its client area.
        QTest::ignoreMessage(QtWarningMsg, "QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
        QVERIFY(ScreenCapture::instance().captureScreen(0x7ffffff, 0, 0, -1, -1).isNull());

        QTest::ignoreMessage(QtWarningMsg, "QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
        QVERIFY(capture(QRect(0, 0, 0, 10)).isNull());

        const QByteArray display = qgetenv("DISPLAY");
        qputenv("DISPLAY", ":4242");
        QTest::ignoreMessage(QtWarningMsg, "QPixmap::fromWinHBITMAP(), failed to get bitmap bits");
        const QPixmap none = capture(QRect(0, 0, 10, 10));
        qputenv("DISPLAY", display);
        QVERIFY(none.isNull());
    }

    // Run on a server with and without MIT-SHM, and with it turned off.
    void sharedMemoryUsedWhereOfferedElseFallbackSaidOnce()
    {
        int opcode = 0;
        int event = 0;
        int error = 0;
        const bool offered = XQueryExtension(x.display, "MIT-SHM", &opcode, &event, &error);
        const bool wanted = offered && !qEnvironmentVariableIsSet("SCRIBBLOOM_CAPTURE_NO_SHM");

        X11ScreenCapture capture;
        fallbackNotes.clear();
        const QtMessageHandler previous = qInstallMessageHandler(noteFallback);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QImage first = capture.captureScreen(0, screen.x(), screen.y(), screen.width(), screen.height()).toImage();
        const bool firstShared = capture.usedSharedMemory();
        const QImage second = capture.captureScreen(0, 10, 10, 30, 20).toImage();
        qInstallMessageHandler(previous);

        QCOMPARE(firstShared, wanted);
        QCOMPARE(capture.usedSharedMemory(), wanted);
        QCOMPARE(fallbackNotes.size(), wanted ? 0 : 1);
        QCOMPARE(first.size(), screen.size() * scale());
        QVERIFY(marks(first).isEmpty());
        QVERIFY(allOpaque(first));
        QCOMPARE(second.size(), QSize(30, 20) * scale());
    }

    void negativeSizeMeansWholeWindow()
    {
        const QImage shot = ScreenCapture::instance().captureScreen(0, 0, 0, -1, -1).toImage();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(shot.size(), screen.size() * scale());
    }

private:
    XDisplay x;
};

QTEST_MAIN(CaptureTest)
#include "capture_test.moc"
