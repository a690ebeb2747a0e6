#pragma once

// Runs a test case on a D-Bus session bus of its own (a dbus-daemon for
// the test alone), set up before anything can reach for the user's bus.

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

template <typename TestCase>
int execOnPrivateSessionBus(int argc, char* argv[])
{
    QTemporaryDir runtime;
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                  QStringLiteral("--address=unix:path=%1/bus").arg(runtime.path())});
    if (!daemon.waitForReadyRead(10000)) {
        qCritical("no private D-Bus session bus (dbus-daemon): %s", qPrintable(daemon.errorString()));
        return 1;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed());
    int result = 0;
    {
        QGuiApplication app(argc, argv);
        TestCase test;
        result = QTest::qExec(&test, argc, argv);
    }
    daemon.terminate();
    daemon.waitForFinished();
    return result;
}
