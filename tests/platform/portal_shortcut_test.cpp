// The board's key on a Wayland desktop whose portal hands out global
// shortcuts: a stand-in portal on a private session bus sees the key asked
// for as the preferred trigger, binds it or refuses, and its presses reach
// the program; a new key ends the old session.
#include "platform/GlobalShortcut.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QGuiApplication>
#include <QPair>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "private_session_bus.h"

namespace {

const char* const kBusName = "shortcuts-stand-in";
const char* const kObject = "/org/freedesktop/portal/desktop";
const char* const kShortcuts = "org.freedesktop.portal.GlobalShortcuts";
using Shortcut = QPair<QString, QVariantMap>;

// org.freedesktop.portal.GlobalShortcuts as a desktop that binds whatever it
// is offered (or, when told to, nothing), answering each request at once.
class StandInPortal : public QDBusVirtualObject
{
public:
    bool refuse = false;
    bool withoutShortcuts = false; // a portal as Debian 12's: no such interface
    QStringList triggers;     // the preferred triggers offered, in order
    QStringList closed;       // the sessions closed
    QString session;          // the last session made

    QDBusConnection bus() const { return QDBusConnection(QString::fromLatin1(kBusName)); }

    QString introspect(const QString&) const override { return QString(); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override
    {
        const QString member = message.member();
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") && member == "Get") {
            bus().send(withoutShortcuts ? message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error."
                                                                                  "UnknownInterface"),
                                                                   QStringLiteral("No such interface"))
                                        : message.createReply(QVariant::fromValue(QDBusVariant(1u))));
        } else if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().at(0));
            session = QStringLiteral("/org/freedesktop/portal/desktop/session/1/%1")
                          .arg(options.value(QStringLiteral("session_handle_token")).toString());
            answer(message, options, {{QStringLiteral("session_handle"), session}});
        } else if (member == QLatin1String("BindShortcuts")) {
            const auto shortcuts = qdbus_cast<QList<Shortcut>>(message.arguments().at(1));
            for (const Shortcut& s : shortcuts)
                triggers << s.second.value(QStringLiteral("preferred_trigger")).toString();
            QList<Shortcut> bound;
            if (!refuse)
                for (const Shortcut& s : shortcuts)
                    bound << Shortcut(s.first, {{QStringLiteral("trigger_description"), triggers.last()}});
            answer(message, qdbus_cast<QVariantMap>(message.arguments().at(3)),
                   {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}});
        } else if (member == QLatin1String("Close")) {
            closed << message.path();
            bus().send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

    void press(const QString& id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kObject), QLatin1String(kShortcuts),
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << quint64(1) << QVariantMap();
        bus().send(signal);
    }

private:
    // The request's object from the caller's name and token, its Response
    // after the call's reply.
    void answer(const QDBusMessage& call, const QVariantMap& options, const QVariantMap& results)
    {
        QString sender = call.service();
        sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                 .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        bus().send(call.createReply(QVariant::fromValue(QDBusObjectPath(path))));
        QDBusMessage response = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                           QStringLiteral("Response"));
        response << 0u << results;
        bus().send(response);
    }
};

} // namespace

class PortalShortcutTest : public QObject
{
    Q_OBJECT

    StandInPortal portal;

private slots:
    void init()
    {
        portal.refuse = portal.withoutShortcuts = false;
        portal.triggers.clear();
        portal.closed.clear();
        qDBusRegisterMetaType<Shortcut>();
        qDBusRegisterMetaType<QList<Shortcut>>();
        QDBusConnection bus = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                                            QString::fromLatin1(kBusName));
        QVERIFY(bus.isConnected());
        QVERIFY(bus.registerVirtualObject(QLatin1String(kObject), &portal, QDBusConnection::SubPath));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }

    void cleanup()
    {
        QDBusConnection bus(QString::fromLatin1(kBusName));
        bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        bus.unregisterObject(QLatin1String(kObject), QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(QString::fromLatin1(kBusName));
    }

    void theDesktopBindsTheKeyAndItsPressesReachTheProgram()
    {

        GlobalShortcut key;
        QSignalSpy pressed(&key, &GlobalShortcut::activated);
        QCOMPARE(key.bind(QKeySequence(QStringLiteral("Ctrl+Alt+D"))), GlobalShortcut::State::Asked);
        QTRY_COMPARE(key.state(), GlobalShortcut::State::Active);
        QCOMPARE(portal.triggers, QStringList{QStringLiteral("CTRL+ALT+d")});
        const QString first = portal.session;
        portal.press(QStringLiteral("board"));
        QTRY_COMPARE(pressed.count(), 1);
        // Another program's shortcut id is not ours.
        portal.press(QStringLiteral("other"));

        // A new key: the old session ends, the desktop is asked again, and
        // this time it binds nothing.
        portal.refuse = true;
        QCOMPARE(key.bind(QKeySequence(QStringLiteral("Meta+Shift+F5"))), GlobalShortcut::State::Asked);
        QTRY_COMPARE(key.state(), GlobalShortcut::State::Refused);
        QCOMPARE(portal.triggers.last(), QStringLiteral("SHIFT+LOGO+F5"));
        QTRY_COMPARE(portal.closed, QStringList{first});
        QCOMPARE(pressed.count(), 1);
        // No key at all ends that session too.
        QCOMPARE(key.bind(QKeySequence()), GlobalShortcut::State::Off);
        QTRY_COMPARE(portal.closed.size(), 2);
    }

    // Options then tells the user to bind the command in the desktop.
    void aPortalWithoutGlobalShortcutsIsNotOffered()
    {
        portal.withoutShortcuts = true;
        GlobalShortcut key;
        QCOMPARE(key.bind(QKeySequence(QStringLiteral("Ctrl+Alt+D"))), GlobalShortcut::State::Asked);
        QTRY_COMPARE(key.state(), GlobalShortcut::State::NotOffered);
        QCOMPARE(key.bind(QKeySequence(QStringLiteral("Ctrl+Alt+E"))), GlobalShortcut::State::NotOffered);
        QVERIFY(portal.triggers.isEmpty());
    }
};

// A private session bus of its own, and a Wayland session as far as the
// program can tell, before anything can reach for the user's.
int main(int argc, char* argv[])
{
    qputenv("XDG_SESSION_TYPE", "wayland");
    return execOnPrivateSessionBus<PortalShortcutTest>(argc, argv);
}

#include "portal_shortcut_test.moc"
