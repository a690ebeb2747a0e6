// The running copy's end and the sending end of the command socket.

#include "app/BoardRemote.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

constexpr int kAnswerMs = 5000;
// The longest command: "open " and a path.
constexpr qint64 kMaxCommand = 8192;
// A copy that has just started may not listen yet.
constexpr int kConnectMs = 5000;

} // namespace

BoardRemote::BoardRemote(QObject* parent)
    : QObject(parent)
{
}

bool BoardRemote::listen(const QString& address)
{
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(address);
    if (!server->listen(address)) {
        qWarning("Commands from later starts cannot be taken at %s: %s", qPrintable(address),
                 qPrintable(server->errorString()));
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, &BoardRemote::takeConnection);
    return true;
}

void BoardRemote::takeConnection()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // A command is one line, at most a path long; anything longer is not ours.
                if (socket->bytesAvailable() > kMaxCommand)
                    socket->abort();
                return;
            }
            const QByteArray command = socket->readLine(kMaxCommand).trimmed();
            if (command == "board") {
                emit switchBoardAsked();
            } else if (command == "close-board") {
                emit closeBoardAsked();
            } else if (command.startsWith("open ") && command.size() > 5) {
                emit openFileAsked(QString::fromUtf8(command.mid(5)));
            } else {
                socket->write("unknown\n");
                socket->disconnectFromServer();
                return;
            }
            socket->write("ok\n");
            socket->disconnectFromServer();
        });
    }
}

bool BoardRemote::send(const QString& address, const QByteArray& command, QString* problem)
{
    QLocalSocket socket;
    const QDeadlineTimer connecting(kConnectMs);
    for (;;) {
        socket.connectToServer(address);
        if (socket.waitForConnected(1000))
            break;
        if (connecting.hasExpired()) {
            *problem = QStringLiteral("the running Scribbloom does not take commands (%1)").arg(socket.errorString());
            return false;
        }
        QThread::msleep(50);
    }
    socket.write(command + '\n');
    socket.flush();
    QByteArray answer;
    const QDeadlineTimer answering(kAnswerMs);
    while (!answer.contains('\n') && !answering.hasExpired()) {
        if (!socket.waitForReadyRead(int(answering.remainingTime())) && socket.bytesAvailable() == 0)
            break;
        answer += socket.readAll();
    }
    if (answer.trimmed() != "ok") {
        *problem = answer.isEmpty() ? QStringLiteral("the running Scribbloom did not answer")
                                    : QStringLiteral("the running Scribbloom refused the command");
        return false;
    }
    return true;
}
