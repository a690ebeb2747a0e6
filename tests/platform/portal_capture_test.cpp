// The screenshot portal's picture of the whole desktop, cut down to the
// board's screen: any screen of several, whatever scale the desktop was
// pictured at, always opaque. And the portal's answers, from a stand-in
// portal on a private session bus: each request heeds its own answer only,
// and the pictures the desktop saved for them do not stay behind.
#include "platform/linux/PortalScreenCapture.h"

#include <QColor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QVariantMap>
#include <QtTest>

#include "private_session_bus.h"

namespace {

const char* const kBusName = "portal-stand-in";

// What the program sees of org.freedesktop.portal.Screenshot: each call is
// kept unanswered until the test answers it, and the test sends the
// requests' Response signals itself.
class StandInPortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
    QList<QDBusMessage> calls;

    QDBusConnection bus() const { return QDBusConnection(QString::fromLatin1(kBusName)); }

    static QString token(const QDBusMessage& call)
    {
        const QVariant options = call.arguments().value(1);
        const QVariantMap map = options.canConvert<QDBusArgument>()
                                    ? qdbus_cast<QVariantMap>(options.value<QDBusArgument>())
                                    : options.toMap();
        return map.value(QStringLiteral("handle_token")).toString();
    }
    // The object a request answers on, by its token (the program's unique
    // name with ':' dropped and '.' as '_').
    QString tokenPath(const QDBusMessage& call) const
    {
        QString sender = call.service();
        sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
        return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token(call));
    }
    void reply(const QDBusMessage& call, const QString& path)
    {
        bus().send(call.createReply(QVariant::fromValue(QDBusObjectPath(path))));
    }
    void fail(const QDBusMessage& call, const QString& message)
    {
        bus().send(call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"), message));
    }
    void respond(const QString& path, const QString& file)
    {
        QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        QVariantMap results;
        results.insert(QStringLiteral("uri"), QUrl::fromLocalFile(file).toString());
        signal << 0u << results;
        bus().send(signal);
    }

public slots:
    Q_SCRIPTABLE QDBusObjectPath Screenshot(const QString&, const QVariantMap&)
    {
        setDelayedReply(true);
        calls << message();
        return QDBusObjectPath();
    }
};

QString picture(const QDir& folder, const QString& name, const QColor& colour)
{
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(colour);
    const QString file = folder.filePath(name);
    image.save(file, "PNG");
    return file;
}

struct Outcome {
    bool done = false;
    QPixmap pixels;
    QString failure;
};

} // namespace

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

    void eachRequestHeedsItsOwnAnswer_data()
    {
        QTest::addColumn<bool>("lateCallFails");
        QTest::newRow("late answer names an object of its own") << false;
        QTest::newRow("late answer is an error") << true;
    }

    // A request times out; the next is pending when the first one's answers
    // come after all. They are not the next one's: it gets its own picture.
    void eachRequestHeedsItsOwnAnswer()
    {
        QFETCH(bool, lateCallFails);
        QDBusConnection bus = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                                            QString::fromLatin1(kBusName));
        QVERIFY(bus.isConnected());
        StandInPortal portal;
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                   QDBusConnection::ExportScriptableSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QTemporaryDir folder;
        const QDir pictures(folder.path());
        const QString old = picture(pictures, QStringLiteral("old.png"), Qt::red);
        const QString fresh = picture(pictures, QStringLiteral("fresh.png"), Qt::blue);

        PortalScreenCapture capture(300);
        const QRect area = QGuiApplication::primaryScreen()->geometry();
        Outcome first;
        capture.captureArea(area, [&](const QPixmap& pixels, const QString& failure) {
            first = {true, pixels, failure};
        });
        QTRY_COMPARE(portal.calls.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(first.done, 5000);
        QVERIFY(first.pixels.isNull());

        Outcome second;
        capture.captureArea(area, [&](const QPixmap& pixels, const QString& failure) {
            second = {true, pixels, failure};
        });
        QTRY_COMPARE(portal.calls.size(), 2);
        const QDBusMessage late = portal.calls.at(0);
        const QDBusMessage current = portal.calls.at(1);
        QVERIFY(StandInPortal::token(late) != StandInPortal::token(current));
        // The first call's answer, late: as portals that pick the request's
        // object themselves give it, then its picture on that object.
        const QString lateObject = QStringLiteral("/org/freedesktop/portal/desktop/request/old/1");
        if (lateCallFails) {
            portal.fail(late, QStringLiteral("the first request's failure"));
        } else {
            portal.reply(late, lateObject);
            QTest::qWait(50);
            portal.respond(lateObject, old);
        }
        QTest::qWait(50);
        portal.reply(current, portal.tokenPath(current));
        portal.respond(portal.tokenPath(current), fresh);

        QTRY_VERIFY_WITH_TIMEOUT(second.done, 5000);
        QVERIFY2(second.failure.isEmpty(), qPrintable(second.failure));
        QCOMPARE(second.pixels.size(), area.size());
        QCOMPARE(second.pixels.toImage().pixelColor(10, 10), QColor(Qt::blue));
        // Read, then removed; the late answer's picture too.
        QTRY_VERIFY(!QFile::exists(fresh));
        if (!lateCallFails) {
            QTRY_VERIFY(!QFile::exists(old));
        }
        bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        QDBusConnection::disconnectFromBus(QString::fromLatin1(kBusName));
    }

    void aPictureNotShowingTheScreenGivesNothing()
    {
        QImage desktop(800, 100, QImage::Format_RGB32);
        desktop.fill(Qt::red);
        QVERIFY(PortalScreenCapture::cutOut(desktop, QRect(0, 0, 800, 100), QRect(2000, 0, 400, 100)).isNull());
        QVERIFY(PortalScreenCapture::cutOut(QImage(), QRect(0, 0, 800, 100), QRect(0, 0, 400, 100)).isNull());
    }
};

// A private session bus of its own, before anything can reach for the user's.
int main(int argc, char* argv[])
{
    return execOnPrivateSessionBus<PortalCaptureTest>(argc, argv);
}

#include "portal_capture_test.moc"
