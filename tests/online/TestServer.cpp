#include "tests/online/TestServer.h"

#include "online/BusinessKeys.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>

TestServer::~TestServer()
{
    if (process.state() != QProcess::NotRunning) {
        process.closeWriteChannel();
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
}

bool TestServer::start()
{
    if (!dir.isValid()) {
        error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString script = qEnvironmentVariable("SCRIBBLOOM_SOURCE_DIR") + "/tests/online/test_server.py";
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral("/usr/bin/python3"),
                  {script, "--workdir", dir.path(), "--data-key", business_v2::dataKey, "--data-iv",
                   business_v2::dataIv});
    if (!process.waitForStarted(10000)) {
        error = QStringLiteral("python did not start: ") + process.errorString();
        return false;
    }
    // Making the certificates takes a moment; the line comes once both ports listen.
    QDeadlineTimer deadline(30000);
    while (!process.canReadLine()) {
        if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime()))) {
            error = QStringLiteral("server never got ready: ") + QString::fromLocal8Bit(process.readAllStandardError());
            return false;
        }
    }
    const QList<QByteArray> words = process.readLine().trimmed().split(' ');
    if (words.size() != 5 || words[0] != "READY") {
        error = QStringLiteral("unexpected greeting");
        return false;
    }
    httpPort = words[1].toInt();
    httpsPort = words[2].toInt();
    misnamedPort = words[3].toInt();
    ca = QString::fromLocal8Bit(words[4]);
    return true;
}

QByteArray TestServer::httpUrl(const QByteArray& path) const
{
    return "http://127.0.0.1:" + QByteArray::number(httpPort) + path;
}

QByteArray TestServer::httpsUrl(const QByteArray& path) const
{
    return "https://" + httpsHost() + path;
}

QByteArray TestServer::misnamedHttpsUrl(const QByteArray& path) const
{
    return "https://127.0.0.1:" + QByteArray::number(misnamedPort) + path;
}

QByteArray TestServer::httpsHost() const
{
    return "127.0.0.1:" + QByteArray::number(httpsPort);
}

void TestServer::setStatisticsStatus(int status)
{
    QFile file(dir.filePath("stats_status"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(status));
}

QList<QJsonObject> TestServer::reports() const
{
    QList<QJsonObject> list;
    QFile file(dir.filePath("reports.jsonl"));
    if (!file.open(QIODevice::ReadOnly))
        return list;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.isEmpty())
            list.append(QJsonDocument::fromJson(line).object());
    }
    return list;
}
