#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// The real HTTP and HTTPS server of the online tests (test_server.py), on
// 127.0.0.1 with a certificate authority made for the run. Started by the test
// and stopped when this object goes.
class TestServer
{
public:
    TestServer() = default;
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer();

    // False, with the reason in errorText(), when the server did not come up.
    bool start();
    QString errorText() const { return error; }

    QByteArray httpUrl(const QByteArray& path) const;
    QByteArray httpsUrl(const QByteArray& path) const;
    QByteArray httpsHost() const; // "127.0.0.1:<port>"
    // HTTPS whose certificate, from the same CA, names another host.
    QByteArray misnamedHttpsUrl(const QByteArray& path) const;
    QString caFile() const { return ca; }
    QString workDir() const { return dir.path(); }

    // What the statistics endpoint answers from now on.
    void setStatisticsStatus(int status);
    // Every report the statistics endpoint received, oldest first.
    QList<QJsonObject> reports() const;

private:
    QTemporaryDir dir;
    QProcess process;
    int httpPort = 0;
    int httpsPort = 0;
    int misnamedPort = 0;
    QString ca;
    QString error;
};
