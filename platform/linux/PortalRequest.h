#pragma once

// The desktop portal's addresses, and the object on which it answers a
// request: known beforehand from the caller's bus name and the request's
// token, so the answer can be listened for before the call is made.

#include <QDBusConnection>
#include <QString>

namespace portal {

inline const char* const kService = "org.freedesktop.portal.Desktop";
inline const char* const kObject = "/org/freedesktop/portal/desktop";
inline const char* const kRequest = "org.freedesktop.portal.Request";
inline const char* const kSession = "org.freedesktop.portal.Session";

inline QString requestPath(const QString& token, const QDBusConnection& bus = QDBusConnection::sessionBus())
{
    QString sender = bus.baseService();
    sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

} // namespace portal
