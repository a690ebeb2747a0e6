#include "settings/ConfigStore.h"
#include "settings/Language.h"
#include "settings/Retranslatable.h"
#include "settings/UiGlobalSettings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <vector>

namespace {

// Each ini case runs in a fresh working directory, where the store looks.
struct IniFolder {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();

    explicit IniFolder(const QByteArray* contents)
    {
        QDir::setCurrent(dir.path());
        if (contents) {
            QFile f(dir.filePath("Scribbloom.ini"));
            if (!f.open(QIODevice::WriteOnly) || f.write(*contents) != contents->size())
                qFatal("cannot write the ini file");
        }
    }
    ~IniFolder() { QDir::setCurrent(previous); }
};

struct Recorder : Retranslatable {
    std::function<void()> onRetranslate;
    std::vector<int>* log = nullptr;
    int id = 0;
    Recorder(std::vector<int>* log, int id) : log(log), id(id) {}
    void retranslate() override
    {
        log->push_back(id);
        if (onRetranslate)
            onRetranslate();
    }
};

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void missingFileGivesTheDefaults()
    {
        IniFolder folder(nullptr);
        ConfigStore* store = ConfigStore::instance();
        store->load();
        QCOMPARE(store->getInt("Pensize"), 1);
        QCOMPARE(store->getInt("ExitTray"), 0);
        QCOMPARE(store->getInt("Langua"), 0);
        QCOMPARE(store->filePath(), QDir::currentPath() + QDir::separator() + "Scribbloom.ini");
    }

    void readsTheConfigSection_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("pensize");
        QTest::addColumn<int>("pensizeInt");
        QTest::addColumn<int>("langua");

        QTest::newRow("values") << QByteArray("[Config]\nPensize=12\nLangua=1\n") << "12" << 12 << 1;
        QTest::newRow("any case, blanks") << QByteArray("[config]\r\n  PENSIZE = 7 \r\n") << "7" << 7 << 0;
        QTest::newRow("150 characters read as 99")
            << QByteArray("[Config]\nPensize=" + QByteArray(150, '5') + "\n") << QString(99, '5') << 0 << 0;
        QTest::newRow("10,000 characters") << QByteArray("[Config]\nPensize=" + QByteArray(10000, 'x') + "\n")
                                           << QString(99, 'x') << 0 << 0;
        QTest::newRow("non-numeric is 0") << QByteArray("[Config]\nPensize=big\n") << "big" << 0 << 0;
        QTest::newRow("trailing letters are not a number") << QByteArray("[Config]\nPensize=4px\n") << "4px" << 0
                                                           << 0;
        QTest::newRow("empty value is 0") << QByteArray("[Config]\nPensize=\n") << "" << 0 << 0;
        QTest::newRow("repeated keys: the first wins") << QByteArray("[Config]\nPensize=3\nPensize=9\n") << "3" << 3
                                                       << 0;
        QTest::newRow("no section") << QByteArray("Pensize=5\n") << "1" << 1 << 0;
        QTest::newRow("other section only") << QByteArray("[Other]\nPensize=5\n") << "1" << 1 << 0;
        QTest::newRow("lines without =") << QByteArray("[Config]\nPensize\nLangua 1\n") << "1" << 1 << 0;
        QTest::newRow("empty file") << QByteArray() << "1" << 1 << 0;
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[\x01\x02]\n\x00=\x00\n", 12) << "1" << 1 << 0;
    }

    void readsTheConfigSection()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, pensize);
        QFETCH(int, pensizeInt);
        QFETCH(int, langua);
        IniFolder folder(&ini);
        ConfigStore* store = ConfigStore::instance();
        store->load();
        QCOMPARE(store->value("Pensize"), pensize);
        QCOMPARE(store->getInt("Pensize"), pensizeInt);
        QCOMPARE(store->getInt("Langua"), langua);
        QCOMPARE(store->getInt("ExitTray"), 0);
    }

    void hugeAndRandomFilesStillLoad()
    {
        QRandomGenerator rng(7);
        QByteArray noise(4 << 20, '\0');
        for (char& c : noise)
            c = char(rng.bounded(256));
        {
            IniFolder folder(&noise);
            ConfigStore::instance()->load();
            QCOMPARE(ConfigStore::instance()->getInt("Pensize"), 1);
        }
        QByteArray big = noise + "\n[Config]\nPensize=6\n";
        IniFolder folder(&big);
        ConfigStore::instance()->load();
        QCOMPARE(ConfigStore::instance()->getInt("Pensize"), 6);
    }

    void changesStayInMemory()
    {
        const QByteArray ini = "[Config]\nPensize=2\n";
        IniFolder folder(&ini);
        ConfigStore* store = ConfigStore::instance();
        store->load();
        store->setInt("Pensize", 17);
        store->setInt("NewKey", -3);
        QCOMPARE(store->getInt("Pensize"), 17);
        QCOMPARE(store->getInt("NewKey"), -3);
        QCOMPARE(store->getInt("Missing"), 0);
        QFile f("Scribbloom.ini");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ini);
        store->load();
        QCOMPARE(store->getInt("Pensize"), 2);
    }

    void retranslatesLiveWindowsInOrder()
    {
        std::vector<int> log;
        Recorder a(&log, 1);
        auto b = std::make_unique<Recorder>(&log, 2);
        Recorder c(&log, 3);
        Retranslatable::retranslateAll();
        QCOMPARE(log, (std::vector<int>{1, 2, 3}));

        log.clear();
        b.reset();
        Recorder copy(a);
        Retranslatable::retranslateAll();
        QCOMPARE(log, (std::vector<int>{1, 3, 1}));

        // A window closed by an earlier one's retranslation is not called.
        log.clear();
        auto victim = std::make_unique<Recorder>(&log, 4);
        a.onRetranslate = [&victim] { victim.reset(); };
        Retranslatable::retranslateAll();
        QCOMPARE(log, (std::vector<int>{1, 3, 1}));
    }

    void themeRegistersEachSkinOnce()
    {
        UiGlobalSettings* ui = UiGlobalSettings::instance();
        QSignalSpy changed(ui, &UiGlobalSettings::themeChanged);
        QCOMPARE(ui->appName(), QString("Scribbloom"));

        ui->setTheme(1);
        ui->setTheme(1);
        QCOMPARE(changed.count(), 1);
        QVERIFY(QFile::exists(":/skin/classicwhite/background.png"));

        // Had the second call registered again, the white skin would outlive this switch.
        ui->setTheme(0);
        QVERIFY(QFile::exists(":/skin/coolblack/background.png"));
        QVERIFY(!QFile::exists(":/skin/classicwhite/background.png"));
        QCOMPARE(changed.count(), 2);

        // An unknown skin drops the current one and still says so.
        QTest::ignoreMessage(QtDebugMsg, "registerResource failed!");
        ui->setTheme(5);
        QVERIFY(!QFile::exists(":/skin/coolblack/background.png"));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.last().at(0).toInt(), 5);

        ui->init("setup.ini");
        QCOMPARE(ui->theme(), 1);
        QCOMPARE(QApplication::font().family(), QString("Microsoft YaHei"));
        QVERIFY(QFile::exists(":/skin/classicwhite/background.png"));
    }

    void startupLanguageIsTheStoredOneElseTheSystemsElseChinese()
    {
        initLanguages();
        QCOMPARE(startupLanguage(true, 0, "en_US"), QString("zh_CN"));
        QCOMPARE(startupLanguage(true, 1, "zh_CN"), QString("en_US"));
        QCOMPARE(startupLanguage(false, 0, "en_GB"), QString("en_US"));
        QCOMPARE(startupLanguage(false, 0, "zh_TW"), QString("zh_CN"));
        QCOMPARE(startupLanguage(false, 0, "de_DE"), QString("zh_CN"));
        QCOMPARE(startupLanguage(false, 0, "C"), QString("zh_CN"));

        // Stored means written in a file, even as the default's value.
        const QByteArray chosen("[Config]\nLangua=0\n");
        IniFolder withChoice(&chosen);
        ConfigStore::instance()->load();
        QVERIFY(ConfigStore::instance()->isStored("Langua"));
        const QByteArray other("[Config]\nPensize=3\n");
        IniFolder withoutChoice(&other);
        ConfigStore::instance()->load();
        QVERIFY(!ConfigStore::instance()->isStored("Langua"));
    }

    void languageTable()
    {
        initLanguages();
        initLanguages();
        QCOMPARE(languages().size(), 2);
        QCOMPARE(languages().value("Chinese"), QString("zh_CN"));
        QCOMPARE(languages().value("English"), QString("en_US"));
        // A language without a file leaves the source texts, even after another loaded.
        QVERIFY(loadTranslation("zh"));
        QCOMPARE(QCoreApplication::translate("MsgBox", "Yes"), QString::fromUtf8("是"));
        QVERIFY(!loadTranslation("xx"));
        QCOMPARE(QCoreApplication::translate("MsgBox", "Yes"), QString("Yes"));
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
