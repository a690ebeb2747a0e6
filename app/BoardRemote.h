#pragma once

// Commands to the running copy from later starts of the same user, over a
// local socket only that user can reach: "scribbloom --board" switches the
// board of the copy already running instead of starting a second one.

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

class BoardRemote : public QObject
{
    Q_OBJECT

public:
    explicit BoardRemote(QObject* parent = nullptr);

    // Takes commands at `address`. A socket file left by a copy that ended
    // without removing it is replaced: the caller holds the single-instance
    // lock, so no other copy listens there.
    bool listen(const QString& address);

    // Sends one command ("board", "close-board" or "open PATH") to the copy listening at
    // `address` and waits for it to be taken; false, with the reason, when
    // no copy answered in time.
    static bool send(const QString& address, const QByteArray& command, QString* problem);

signals:
    void switchBoardAsked();
    void closeBoardAsked();
    void openFileAsked(const QString& path);

private:
    void takeConnection();

    QLocalServer* server = nullptr;
};
