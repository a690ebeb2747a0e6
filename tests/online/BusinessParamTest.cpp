#include "online/BusinessCodec.h"
#include "online/BusinessEnvironment.h"
#include "online/BusinessKeys.h"
#include "online/BusinessParam.h"
#include "platform/PrivateProfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace business_v2;

namespace {

QByteArray formValue(const QByteArray& body, const QByteArray& key)
{
    for (const QByteArray& pair : body.split('&')) {
        if (pair.startsWith(key + '='))
            return QByteArray::fromPercentEncoding(pair.mid(key.size() + 1));
    }
    return {};
}

QByteArray encryptedChannel(const QByteArray& channel)
{
    return aesEncryptToBase64(channel, channelKey, channelIv);
}

} // namespace

class BusinessParamTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void newParamsHoldTheSixInitialEntries();
    void setInsertsOrReplacesAndChains();
    void commonParamsReplaceEarlierValues();
    void encodedBodyDecryptsToTheParamsAndIsSigned();
    void windowsNamesFollowTheVersionTable_data();
    void windowsNamesFollowTheVersionTable();
    void otherSystemsAreNamedByDistributionOrKernel();
    void exeNameIsTheLastPathPart_data();
    void exeNameIsTheLastPathPart();
    void userFolderFollowsXdgDataHome();
    void channelComesFromTheUserSettingsFile_data();
    void channelComesFromTheUserSettingsFile();
    void randomSettingsFilesAlwaysGiveAUsableChannel();

private:
    QTemporaryDir home;
    QString settingsFile;
};

void BusinessParamTest::initTestCase()
{
    QVERIFY(home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    settingsFile = home.path() + "/ScribbloomUser/ScribbloomUser.ini";
    QCOMPARE(userSettingsFile(), settingsFile);
}

void BusinessParamTest::init()
{
    QDir(home.path() + "/ScribbloomUser").removeRecursively();
}

void BusinessParamTest::newParamsHoldTheSixInitialEntries()
{
    const BusinessParam params;
    const BusinessParam::Map expected{{"exe", ""},     {"platform", "pc"}, {"qid", "gf"},
                                      {"softid", ""},  {"softver", ""},    {"systemver", ""}};
    QVERIFY(params.params() == expected);
    QVERIFY(params.output().empty());
}

void BusinessParamTest::setInsertsOrReplacesAndChains()
{
    BusinessParam params;
    params.set("zeta", "1").set("alpha", "2").set("zeta", "3");
    QCOMPARE(params.params().at("zeta"), QByteArray("3"));
    QCOMPARE(params.params().at("alpha"), QByteArray("2"));
    QCOMPARE(int(params.params().size()), 8);
    // Compact, in byte-wise key order (upper case before lower case).
    params.set("Zulu", "x");
    QCOMPARE(params.toJson(),
             QByteArray(R"({"Zulu":"x","alpha":"2","exe":"","platform":"pc","qid":"gf","softid":"","softver":"",)"
                        R"("systemver":"","zeta":"3"})"));
}

void BusinessParamTest::commonParamsReplaceEarlierValues()
{
    BusinessParam params;
    params.set("qid", "mine").set("softid", "other");
    params.addCommonParams();
    const BusinessParam::Map& map = params.params();
    QCOMPARE(map.at("platform"), QByteArray("pc"));
    QCOMPARE(map.at("qid"), QByteArray("tiwa")); // no settings file: the default channel
    QCOMPARE(map.at("softver"), QByteArray("1.1.6.1429"));
    QCOMPARE(map.at("systemver"), osName());
    QCOMPARE(map.at("exe"), QByteArray("online_business_param"));
    QCOMPARE(map.at("softid"), QByteArray("vexo"));
    QCOMPARE(map.at("qt"), QByteArray("1"));
    QCOMPARE(int(map.size()), 7);
}

void BusinessParamTest::encodedBodyDecryptsToTheParamsAndIsSigned()
{
    BusinessParam params;
    params.addCommonParams().set("note", "a b+c=d/\xe4\xb8\xad");
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const QByteArray body = params.encode();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();

    QVERIFY(body.startsWith("data="));
    QVERIFY(body.contains("&sign="));
    // Every escape uses lower-case hex digits.
    QVERIFY(!QString::fromLatin1(body).contains(QRegularExpression("%[0-9a-f]?[A-F]")));
    QVERIFY(!body.contains('+') && !body.contains('/'));

    const QByteArray data = formValue(body, "data");
    const QByteArray sign = formValue(body, "sign");
    QCOMPARE(data, params.output().at("data"));
    QCOMPARE(sign, params.output().at("sign"));
    QCOMPARE(sign, hmacBase64(md5Hex(data), data));

    const QByteArray json = base64Decode(aesDecryptFromBase64(data));
    QCOMPARE(json, params.toJson());
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    QCOMPARE(object.size(), 9);
    const qint64 stamp = object.value("timestamp").toString().toLongLong();
    QVERIFY(stamp >= before && stamp <= after);
    QCOMPARE(object.value("note").toString(), QString::fromUtf8("a b+c=d/\xe4\xb8\xad"));
}

void BusinessParamTest::windowsNamesFollowTheVersionTable_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("native64");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("2000") << 5 << 0 << false << QByteArray("Unknow_32");
    QTest::newRow("XP") << 5 << 1 << false << QByteArray("window-xp_32");
    QTest::newRow("2003") << 5 << 2 << true << QByteArray("window-2003_64");
    QTest::newRow("later 5.x") << 5 << 3 << false << QByteArray("window-2003_32");
    QTest::newRow("Vista") << 6 << 0 << false << QByteArray("window-vista_32");
    QTest::newRow("7 on x64") << 6 << 1 << true << QByteArray("window-7_64");
    QTest::newRow("7 on x86") << 6 << 1 << false << QByteArray("window-7_32");
    QTest::newRow("8") << 6 << 2 << true << QByteArray("window-8_64");
    QTest::newRow("8.1") << 6 << 3 << true << QByteArray("Unknow_64");
    QTest::newRow("8.1 on x86") << 6 << 3 << false << QByteArray("Unknow_32");
    QTest::newRow("10") << 10 << 0 << true << QByteArray("window-10_64");
    QTest::newRow("10.x") << 10 << 1 << false << QByteArray("window-10_32");
    QTest::newRow("4.0") << 4 << 0 << false << QByteArray("Unknow_32");
    QTest::newRow("11.0") << 11 << 0 << true << QByteArray("Unknow_64");
}

void BusinessParamTest::windowsNamesFollowTheVersionTable()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(bool, native64);
    QFETCH(QByteArray, name);
    QCOMPARE(osNameForWindows(major, minor, native64), name);
    platform::SystemVersion version;
    version.windows = true;
    version.windowsMajor = major;
    version.windowsMinor = minor;
    version.native64 = native64;
    QCOMPARE(osNameFor(version), name);
}

void BusinessParamTest::otherSystemsAreNamedByDistributionOrKernel()
{
    platform::SystemVersion debian;
    debian.productType = "debian";
    debian.productVersion = "12";
    debian.kernelType = "linux";
    debian.kernelVersion = "6.1.0-18-amd64";
    debian.native64 = true;
    QCOMPARE(osNameFor(debian), QByteArray("debian-12_64"));

    platform::SystemVersion rolling = debian;
    rolling.productType = "Arch Linux";
    rolling.productVersion.clear();
    rolling.native64 = false;
    QCOMPARE(osNameFor(rolling), QByteArray("arch-linux_32"));

    platform::SystemVersion bare = debian;
    bare.productType.clear();
    bare.productVersion.clear();
    QCOMPARE(osNameFor(bare), QByteArray("linux-6.1_64"));

    QCOMPARE(osNameFor(platform::SystemVersion()), QByteArray("Unknow_32"));

    const QByteArray here = osName();
    QVERIFY(here.endsWith("_64") || here.endsWith("_32"));
    QCOMPARE(here.count('_'), 1);
    QVERIFY(!here.contains(' '));
}

void BusinessParamTest::exeNameIsTheLastPathPart_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("windows") << QByteArray("C:\\Program Files\\Scribbloom\\Scribbloom.exe")
                             << QByteArray("Scribbloom.exe");
    QTest::newRow("unix") << QByteArray("/usr/bin/Scribbloom") << QByteArray("Scribbloom");
    QTest::newRow("bare") << QByteArray("Scribbloom") << QByteArray("Scribbloom");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void BusinessParamTest::exeNameIsTheLastPathPart()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, name);
    QCOMPARE(exeNameFromPath(path), name);
}

void BusinessParamTest::userFolderFollowsXdgDataHome()
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "relative/ignored");
    QCOMPARE(userFolder(), QDir::homePath() + "/.local/share/ScribbloomUser");
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(userFolder(), QDir::homePath() + "/.local/share/ScribbloomUser");
    qputenv("XDG_DATA_HOME", saved);
    QCOMPARE(userFolder(), home.path() + "/ScribbloomUser");
}

void BusinessParamTest::channelComesFromTheUserSettingsFile_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<QByteArray>("channel");
    QTest::newRow("no file") << QByteArray() << QByteArray("tiwa");
    QTest::newRow("no Globals section") << QByteArray("[assist]\nupload=3\n") << QByteArray("tiwa");
    QTest::newRow("empty value") << QByteArray("[Globals]\nSpreader=\n") << QByteArray("tiwa");
    QTest::newRow("not Base64") << QByteArray("[Globals]\nSpreader=hello world!\n") << QByteArray("tiwa");
    QTest::newRow("not whole blocks") << QByteArray("[Globals]\nSpreader=" + base64Encode("short") + "\n")
                                      << QByteArray("tiwa");
    QTest::newRow("data key instead of channel key")
        << QByteArray("[Globals]\nSpreader=" + aesEncryptToBase64("partner", dataKey, dataIv) + "\n")
        << QByteArray("tiwa");
    QTest::newRow("channel") << QByteArray("; ours\n[Globals]\nSpreader=" + encryptedChannel("partner7") + "\n")
                             << QByteArray("partner7");
    QTest::newRow("11 characters kept") << QByteArray("[Globals]\nSpreader=" + encryptedChannel("abcdefghijk") + "\n")
                                        << QByteArray("abcdefghijk");
    QTest::newRow("20 characters cut to 12")
        << QByteArray("[Globals]\nSpreader=" + encryptedChannel("abcdefghijklmnopqrst") + "\n")
        << QByteArray("abcdefghijkl");
    QTest::newRow("Latin-1 characters as UTF-8")
        << QByteArray("[Globals]\nSpreader=" + encryptedChannel("caf\xe9") + "\n") << QByteArray("caf\xc3\xa9");
}

void BusinessParamTest::channelComesFromTheUserSettingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, channel);
    if (!content.isNull()) {
        QVERIFY(QDir().mkpath(userFolder()));
        QFile file(settingsFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QCOMPARE(readChannel(), channel);
    BusinessParam params;
    params.addCommonParams();
    QCOMPARE(params.params().at("qid"), channel);
}

void BusinessParamTest::randomSettingsFilesAlwaysGiveAUsableChannel()
{
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    QVERIFY(QDir().mkpath(userFolder()));
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
    for (int round = 0; round < 1500; ++round) {
        QByteArray value;
        const int length = int(random.bounded(round % 3 == 0 ? 5000 : 120));
        if (round % 2 == 0) {
            for (int i = 0; i < length; ++i)
                value.append(alphabet[random.bounded(int(sizeof alphabet - 1))]);
        } else {
            QByteArray bytes;
            for (int i = 0; i < length; ++i)
                bytes.append(char(random.bounded(256)));
            value = round % 5 == 1 ? base64Encode(bytes) : bytes;
        }
        QFile file(settingsFile);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(round % 7 == 0 ? value : "[Globals]\nSpreader=" + value + "\n");
        file.close();
        const QByteArray channel = readChannel();
        QVERIFY(!channel.isEmpty());
        QVERIFY(QString::fromUtf8(channel).size() <= 12);
    }
}

QTEST_GUILESS_MAIN(BusinessParamTest)
#include "BusinessParamTest.moc"
