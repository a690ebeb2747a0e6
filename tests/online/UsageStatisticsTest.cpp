#include "online/AssistRunner.h"
#include "online/BusinessCodec.h"
#include "online/BusinessEnvironment.h"
#include "online/BusinessKeys.h"
#include "online/HttpClient.h"
#include "online/UsageStatistics.h"
#include "platform/PrivateProfile.h"
#include "tests/online/TestServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using scbl::assist::AssistRunner;
using scbl::assist::UsageStatistics;
using scbl::assist::startUsageStatistics;

// The report goes out at most once per process, so CTest runs each sending
// case in a process of its own.
class UsageStatisticsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportRoundTripCarriesEveryParameter();
    void markerKeepsTheRestOfTheSettingsFile();
    void markerOfTodaySendsNothing();
    void doNotTrackSendsNothingAndStartsNoThread();
    void serverErrorStillKeepsTodaysMarker();
    void unverifiedServerNeverSeesTheReport();
    void unwritableUserFolderStillReports();
    void statisticsHostCanBeOverridden();

private:
    // Runs the start-up call and waits for the runner it may have started.
    bool startAndFinish();
    int markerDay() const;

    TestServer server;
    QTemporaryDir home;
    QString settingsFile;
    int today = 0;
};

void UsageStatisticsTest::initTestCase()
{
    QVERIFY(home.isValid());
    QVERIFY2(server.start(), qPrintable(server.errorText()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    qputenv(scbl::assist::statisticsHostVariable, server.httpsHost());
    qunsetenv("DO_NOT_TRACK");
    network::HttpClient::instance().setSslCaFilename(server.caFile().toStdString());
    settingsFile = home.path() + "/ScribbloomUser/ScribbloomUser.ini";
    today = QDateTime::currentDateTimeUtc().date().day();
}

bool UsageStatisticsTest::startAndFinish()
{
    const bool result = startUsageStatistics();
    if (auto runner = AssistRunner::current())
        runner->wait();
    return result;
}

int UsageStatisticsTest::markerDay() const
{
    return platform::readProfileInt(settingsFile, "assist", "upload", -1);
}

void UsageStatisticsTest::reportRoundTripCarriesEveryParameter()
{
    QVERIFY(!QFile::exists(settingsFile));
    QVERIFY(startAndFinish());
    QVERIFY(AssistRunner::current());
    QCOMPARE(markerDay(), today);

    const QList<QJsonObject> reports = server.reports();
    QCOMPARE(reports.size(), 1);
    const QJsonObject report = reports.first();
    QCOMPARE(report.value("method").toString(), QString("POST"));
    QCOMPARE(report.value("content_type").toString(), QString("application/x-www-form-urlencoded"));
    QVERIFY(report.value("body").toString().startsWith("data="));
    QVERIFY(report.value("sign_ok").toBool());

    const QByteArray json = report.value("json").toString().toUtf8();
    QVERIFY2(!json.isEmpty(), "the service could not decrypt the data");
    const QJsonObject values = QJsonDocument::fromJson(json).object();
    const QList<QPair<QString, QString>> expected = {
        {"baohuo100", "0"}, {"baohuo3", "0"}, {"desktoptype", "0"}, {"exe", "online_usage_statistics"},
        {"online", "1"}, {"operate_date", "0"}, {"platform", "pc"}, {"pv_baohuo100", "0"},
        {"pv_baohuo3", "0"}, {"pv_desktoptype", "0"}, {"pv_online", "0"}, {"pv_servertype", "0"},
        {"pv_softtype", "0"}, {"pv_todayinssoftol", "0"}, {"qid", "tiwa"}, {"qt", "1"},
        {"servertype", "6"}, {"softid", "vexo"}, {"softtype", "0"}, {"softver", "1.1.6.1429"},
        {"systemver", QString::fromLatin1(business_v2::osName())}, {"timestamp", QString()},
        {"todayinssoftol", "0"},
    };
    QCOMPARE(values.size(), expected.size());
    int lastPosition = -1;
    for (const auto& [key, value] : expected) {
        QVERIFY2(values.contains(key), qPrintable(key));
        QVERIFY2(values.value(key).isString(), qPrintable(key));
        if (!value.isNull())
            QCOMPARE(values.value(key).toString(), value);
        // Members stand in ascending key order in the text itself.
        const int position = json.indexOf("\"" + key.toLatin1() + "\":");
        QVERIFY2(position > lastPosition, qPrintable(key));
        lastPosition = position;
    }
    const qint64 stamp = values.value("timestamp").toString().toLongLong();
    QVERIFY(qAbs(stamp - QDateTime::currentMSecsSinceEpoch()) < 24LL * 3600 * 1000);
    QVERIFY(!json.contains(' ') && !json.contains('\n'));

    // Once per process: a second attempt sends nothing more.
    UsageStatistics::instance().sendOnlineReport();
    QCOMPARE(server.reports().size(), 1);
}

void UsageStatisticsTest::markerKeepsTheRestOfTheSettingsFile()
{
    QVERIFY(QDir().mkpath(home.path() + "/ScribbloomUser"));
    const int otherDay = today == 1 ? 2 : today - 1;
    QFile file(settingsFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("; written by the installer\n[Globals]\nSpreader="
               + business_v2::aesEncryptToBase64("partner7", business_v2::channelKey, business_v2::channelIv)
               + "\n[assist]\nupload=" + QByteArray::number(otherDay) + "\n");
    file.close();

    QVERIFY(startAndFinish());
    QCOMPARE(markerDay(), today);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QVERIFY(after.contains("; written by the installer"));
    QVERIFY(after.contains("[Globals]"));

    const QList<QJsonObject> reports = server.reports();
    QCOMPARE(reports.size(), 1);
    const QJsonObject values = QJsonDocument::fromJson(reports.first().value("json").toString().toUtf8()).object();
    QCOMPARE(values.value("qid").toString(), QString("partner7"));
}

void UsageStatisticsTest::markerOfTodaySendsNothing()
{
    QVERIFY(QDir().mkpath(home.path() + "/ScribbloomUser"));
    QVERIFY(platform::writeProfileString(settingsFile, "assist", "upload", QString::number(today)));
    QVERIFY(startUsageStatistics());
    QVERIFY(!AssistRunner::current());
    QVERIFY(!UsageStatistics::instance().sent());
    QVERIFY(server.reports().isEmpty());
}

void UsageStatisticsTest::doNotTrackSendsNothingAndStartsNoThread()
{
    qputenv("DO_NOT_TRACK", "1");
    QVERIFY(startUsageStatistics());
    qunsetenv("DO_NOT_TRACK");
    QVERIFY(!AssistRunner::current());
    QVERIFY(!UsageStatistics::instance().sent());
    QVERIFY(!QFile::exists(settingsFile));
    QVERIFY(server.reports().isEmpty());
}

void UsageStatisticsTest::serverErrorStillKeepsTodaysMarker()
{
    server.setStatisticsStatus(500);
    QVERIFY(startAndFinish());
    QCOMPARE(server.reports().size(), 1);
    QVERIFY(server.reports().first().value("sign_ok").toBool());
    QCOMPARE(markerDay(), today);
    // The same day, the next start sends nothing: no retry.
    QVERIFY(startUsageStatistics());
    QCOMPARE(server.reports().size(), 1);
}

void UsageStatisticsTest::unverifiedServerNeverSeesTheReport()
{
    // Without the run's authority the server is an impostor to the client.
    network::HttpClient::instance().setSslCaFilename(std::string());
    QVERIFY(startAndFinish());
    QVERIFY(UsageStatistics::instance().sent());
    QVERIFY(server.reports().isEmpty());
    QCOMPARE(markerDay(), today);
}

void UsageStatisticsTest::unwritableUserFolderStillReports()
{
    // The data folder's parent is a plain file: neither folder nor marker can be made.
    const QString blocker = home.path() + "/blocker";
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + "/data"));
    QVERIFY(startAndFinish());
    QCOMPARE(server.reports().size(), 1);
    QVERIFY(server.reports().first().value("sign_ok").toBool());
    QVERIFY(!QFile::exists(blocker + "/data/ScribbloomUser/ScribbloomUser.ini"));
}

void UsageStatisticsTest::statisticsHostCanBeOverridden()
{
    const QByteArray saved = qgetenv(scbl::assist::statisticsHostVariable);
    qunsetenv(scbl::assist::statisticsHostVariable);
    QCOMPARE(scbl::assist::statisticsUrl(), QByteArray("https://stats.scribbloom.com/Tj/ol_detail"));
    qputenv(scbl::assist::statisticsHostVariable, "stats.example.org:8443");
    QCOMPARE(scbl::assist::statisticsUrl(), QByteArray("https://stats.example.org:8443/Tj/ol_detail"));
    // Anything that is not a bare host and port would change the request: nothing goes out.
    for (const char* bad : {"evil.example/steal?x=", "user@host", "host path", "http://host"}) {
        qputenv(scbl::assist::statisticsHostVariable, bad);
        QVERIFY2(scbl::assist::statisticsUrl().isEmpty(), bad);
    }
    qputenv(scbl::assist::statisticsHostVariable, "x/y");
    UsageStatistics::instance().sendOnlineReport();
    QVERIFY(!UsageStatistics::instance().sent());
    qputenv(scbl::assist::statisticsHostVariable, saved);
}

QTEST_GUILESS_MAIN(UsageStatisticsTest)
#include "UsageStatisticsTest.moc"
