#pragma once

// The board's key through the desktop's global-shortcuts portal, on Wayland
// desktops that offer it: a session of our own, the key offered to the
// desktop as its preferred trigger (the desktop may ask the user, or choose
// another), and the desktop's word each time it is pressed.

#include <QDBusConnection>
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QDBusMessage;

class PortalShortcut : public QObject
{
    Q_OBJECT

public:
    explicit PortalShortcut(QObject* parent = nullptr);
    ~PortalShortcut() override;

    enum class Answer { Bound, Refused, NotOffered };

    // False once the session's portal was found to have no global-shortcuts
    // interface (it is asked on the first bind).
    bool mayBeOffered() const { return version != 0; }
    // `keys` (its first combination) as the shortcuts specification writes
    // a trigger: "CTRL+ALT+d".
    static QString trigger(const QKeySequence& keys);

    // Ends the session held before and asks the desktop for `keys` in a new
    // one; answered() follows, never before this returns.
    void bind(const QKeySequence& keys);
    // Ends the session: the desktop forgets the key.
    void release();

signals:
    void answered(PortalShortcut::Answer answer);
    void activated();

private slots:
    void onResponse(uint response, const QVariantMap& results, const QDBusMessage& message);
    void onActivated(const QDBusMessage& message);

private:
    void createSession();
    void ask(const QString& method, const QList<QVariant>& arguments, const QString& token);
    void listen(const QString& path);
    void stopListening();
    QString nextToken();

    QDBusConnection bus;
    QKeySequence wanted;
    QString listening;     // the request object whose answer is awaited
    QString session;       // the session's object, once the desktop made it
    bool binding = false;  // the answer awaited is BindShortcuts'
    unsigned serial = 0;
    int version = -1; // the interface's, -1 until the portal said
};
