// The global-shortcuts portal: CreateSession, then BindShortcuts with the
// one shortcut "board", then its Activated signals.

#include "platform/linux/PortalShortcut.h"

#include "platform/linux/PortalRequest.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>
#include <QList>
#include <QPair>

namespace {

const char* const kShortcuts = "org.freedesktop.portal.GlobalShortcuts";
const char* const kShortcutId = "board";

using Shortcut = QPair<QString, QVariantMap>;

// The key's name as the shortcuts specification has it (the XKB key name).
QString keyName(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar('a' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QString(QChar('0' + (key - Qt::Key_0)));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    switch (key) {
    case Qt::Key_Space: return QStringLiteral("space");
    case Qt::Key_Print: return QStringLiteral("Print");
    case Qt::Key_Pause: return QStringLiteral("Pause");
    case Qt::Key_Insert: return QStringLiteral("Insert");
    case Qt::Key_Delete: return QStringLiteral("Delete");
    case Qt::Key_Home: return QStringLiteral("Home");
    case Qt::Key_End: return QStringLiteral("End");
    case Qt::Key_PageUp: return QStringLiteral("Page_Up");
    case Qt::Key_PageDown: return QStringLiteral("Page_Down");
    case Qt::Key_Left: return QStringLiteral("Left");
    case Qt::Key_Right: return QStringLiteral("Right");
    case Qt::Key_Up: return QStringLiteral("Up");
    case Qt::Key_Down: return QStringLiteral("Down");
    case Qt::Key_Return: return QStringLiteral("Return");
    case Qt::Key_Tab: return QStringLiteral("Tab");
    case Qt::Key_Escape: return QStringLiteral("Escape");
    default: return QKeySequence(key).toString(QKeySequence::PortableText);
    }
}

} // namespace

PortalShortcut::PortalShortcut(QObject* parent)
    : QObject(parent)
    , bus(QDBusConnection::sessionBus())
{
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    bus.connect(QLatin1String(portal::kService), QLatin1String(portal::kObject), QLatin1String(kShortcuts),
                QStringLiteral("Activated"), this, SLOT(onActivated(QDBusMessage)));
}

PortalShortcut::~PortalShortcut()
{
    release();
}

QString PortalShortcut::trigger(const QKeySequence& keys)
{
    if (keys.isEmpty())
        return QString();
    const int combined = keys[0];
    QStringList parts;
    if (combined & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (combined & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (combined & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (combined & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    parts << keyName(combined & ~int(Qt::KeyboardModifierMask));
    return parts.join(QLatin1Char('+'));
}

void PortalShortcut::bind(const QKeySequence& keys)
{
    release();
    wanted = keys;
    if (keys.isEmpty())
        return;
    if (version > 0) {
        createSession();
        return;
    }
    // First the interface's version: a portal without it has no global keys.
    QDBusMessage get = QDBusMessage::createMethodCall(QLatin1String(portal::kService), QLatin1String(portal::kObject),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QLatin1String(kShortcuts) << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
    const unsigned asked = serial;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, asked](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        QDBusPendingReply<QDBusVariant> reply = *done;
        version = reply.isError() ? 0 : int(reply.value().variant().toUInt());
        if (asked != serial || wanted.isEmpty())
            return; // bound again since
        if (version < 1)
            emit answered(Answer::NotOffered);
        else
            createSession();
    });
}

void PortalShortcut::createSession()
{
    const QString token = nextToken();
    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), token);
    options.insert(QStringLiteral("session_handle_token"), nextToken());
    binding = false;
    ask(QStringLiteral("CreateSession"), {options}, token);
}

void PortalShortcut::release()
{
    stopListening();
    if (!session.isEmpty()) {
        bus.asyncCall(QDBusMessage::createMethodCall(QLatin1String(portal::kService), session,
                                                     QLatin1String(portal::kSession), QStringLiteral("Close")));
    }
    session.clear();
    binding = false;
    // Answers still on their way belong to the key given up.
    ++serial;
}

QString PortalShortcut::nextToken()
{
    return QStringLiteral("scribbloom_%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
}

void PortalShortcut::ask(const QString& method, const QList<QVariant>& arguments, const QString& token)
{
    // Listening before the call means an answer that comes quickly is not missed.
    listen(portal::requestPath(token, bus));
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(portal::kService), QLatin1String(portal::kObject),
                                                       QLatin1String(kShortcuts), method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    const QString expected = listening;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, expected](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        if (listening != expected)
            return; // a request given up since
        QDBusPendingReply<QDBusObjectPath> reply = *done;
        if (reply.isError()) {
            stopListening();
            emit answered(Answer::Refused);
        } else if (reply.value().path() != expected) {
            // Portals older than the handle token answer on an object of their own.
            stopListening();
            listen(reply.value().path());
        }
    });
}

void PortalShortcut::listen(const QString& path)
{
    listening = path;
    bus.connect(QLatin1String(portal::kService), path, QLatin1String(portal::kRequest), QStringLiteral("Response"),
                this, SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
}

void PortalShortcut::stopListening()
{
    if (listening.isEmpty())
        return;
    bus.disconnect(QLatin1String(portal::kService), listening, QLatin1String(portal::kRequest),
                   QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
    listening.clear();
}

void PortalShortcut::onResponse(uint response, const QVariantMap& results, const QDBusMessage& message)
{
    if (message.path() != listening)
        return;
    stopListening();
    if (response != 0) {
        emit answered(Answer::Refused);
        return;
    }
    if (!binding) {
        // The session is made: offer it the key.
        session = results.value(QStringLiteral("session_handle")).toString();
        if (session.isEmpty()) {
            emit answered(Answer::Refused);
            return;
        }
        QVariantMap properties;
        properties.insert(QStringLiteral("description"), tr("Open or close the board"));
        properties.insert(QStringLiteral("preferred_trigger"), trigger(wanted));
        const QList<Shortcut> shortcuts{{QLatin1String(kShortcutId), properties}};
        const QString token = nextToken();
        QVariantMap options;
        options.insert(QStringLiteral("handle_token"), token);
        binding = true;
        ask(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(session)), QVariant::fromValue(shortcuts), QString(), options},
            token);
        return;
    }
    // The shortcuts the desktop bound: ours, or none.
    bool bound = false;
    const QVariant list = results.value(QStringLiteral("shortcuts"));
    if (list.canConvert<QDBusArgument>()) {
        for (const Shortcut& shortcut : qdbus_cast<QList<Shortcut>>(list.value<QDBusArgument>()))
            bound = bound || shortcut.first == QLatin1String(kShortcutId);
    }
    emit answered(bound ? Answer::Bound : Answer::Refused);
}

void PortalShortcut::onActivated(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || session.isEmpty())
        return;
    if (arguments.at(0).value<QDBusObjectPath>().path() == session && arguments.at(1).toString() == kShortcutId)
        emit activated();
}
