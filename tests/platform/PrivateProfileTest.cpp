#include "platform/PrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

using platform::readProfileInt;
using platform::readProfileString;
using platform::writeProfileString;

class PrivateProfileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString put(const QByteArray& bytes, const QString& name = QStringLiteral("t.ini"))
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // With its byte-order mark, as Windows editors save "Unicode" files.
    static QByteArray utf16le(const QString& text)
    {
        QByteArray out("\xFF\xFE");
        for (QChar c : text) {
            out += char(c.unicode() & 0xff);
            out += char(c.unicode() >> 8);
        }
        return out;
    }

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void readsValuesTheWayWindowsDoes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray basic = "[Config]\nPensize=5\n";
        QTest::newRow("plain") << basic << "Config" << "Pensize" << "5";
        QTest::newRow("section and key ignore case") << basic << "CONFIG" << "pensize" << "5";
        QTest::newRow("blanks around the asked names") << basic << "  Config " << "\tPensize " << "5";
        QTest::newRow("blanks in the file") << QByteArray("  [ Config ]  \n  Pensize  =  7  \n") << "Config"
                                            << "Pensize" << "7";
        QTest::newRow("CRLF") << QByteArray("[Config]\r\nPensize=8\r\n") << "Config" << "Pensize" << "8";
        QTest::newRow("CR only") << QByteArray("[Other]\rPensize=1\r[Config]\rPensize=9\r") << "Config"
                                 << "Pensize" << "9";
        QTest::newRow("no final line break") << QByteArray("[Config]\nPensize=4") << "Config" << "Pensize"
                                             << "4";
        QTest::newRow("double quotes stripped") << QByteArray("[C]\nk=\"a b \"\n") << "C" << "k" << "a b ";
        QTest::newRow("single quotes stripped") << QByteArray("[C]\nk='x'\n") << "C" << "k" << "x";
        QTest::newRow("unmatched quote kept") << QByteArray("[C]\nk=\"x\n") << "C" << "k" << "\"x";
        QTest::newRow("empty value") << QByteArray("[C]\nk=\n") << "C" << "k" << "";
        QTest::newRow("value keeps inner =") << QByteArray("[C]\nk=a=b\n") << "C" << "k" << "a=b";
        QTest::newRow("first key of a name wins") << QByteArray("[C]\nk=1\nK=2\n") << "C" << "k" << "1";
        QTest::newRow("only the first section of a name counts")
            << QByteArray("[C]\na=1\n[D]\n[c]\nk=2\n") << "C" << "k" << "dflt";
        QTest::newRow("key in another section") << QByteArray("[D]\nk=1\n[C]\nj=1\n") << "C" << "k" << "dflt";
        QTest::newRow("key before any section") << QByteArray("k=1\n[C]\n") << "C" << "k" << "dflt";
        QTest::newRow("line without =") << QByteArray("[C]\nk\n") << "C" << "k" << "dflt";
        QTest::newRow("comment is not a key") << QByteArray("[C]\n;k=1\nk=2\n") << "C" << "k" << "2";
        QTest::newRow("section header with trailing text") << QByteArray("[C] junk\nk=3\n") << "C" << "k"
                                                           << "3";
        QTest::newRow("broken header is a line, not a section")
            << QByteArray("[C]\n[D\nk=6\n") << "C" << "k" << "6";
        QTest::newRow("value ends at NUL") << QByteArray("[C]\nk=ab\0cd\n", 12) << "C" << "k" << "ab";
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF[C]\nk=\xE4\xB8\xAD\n") << "C" << "k"
                                        << QString::fromUtf8("\xE4\xB8\xAD");
        QTest::newRow("empty file") << QByteArray() << "C" << "k" << "dflt";
        QTest::newRow("section missing") << QByteArray("[D]\nk=1\n") << "C" << "k" << "dflt";
    }

    void readsValuesTheWayWindowsDoes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(readProfileString(put(file), section, key, QStringLiteral("dflt"), 100), expected);
    }

    void readsUtf16FilesWithByteOrderMark()
    {
        const QByteArray le = utf16le(QString::fromUtf8("[C]\r\nk=\xE7\x94\xBB\r\n"));
        QCOMPARE(readProfileString(put(le), "c", "K", "", 100), QString::fromUtf8("\xE7\x94\xBB"));
    }

    void cutsValuesToTheBuffer()
    {
        const QString value(150, QLatin1Char('7'));
        const QString path = put("[Config]\nPensize=" + value.toLatin1() + "\n");
        QCOMPARE(readProfileString(path, "Config", "Pensize", "1", 100), value.left(99));
        QCOMPARE(readProfileString(path, "Config", "Pensize", "1", 1), QString());
        QCOMPARE(readProfileString(path, "Config", "Pensize", "1", 0), QString());
        QCOMPARE(readProfileString(path, "Config", "Pensize", "1", -5), QString());
        // The default goes through the same buffer.
        QCOMPARE(readProfileString(path, "Config", "Missing", "abcdef", 4), QStringLiteral("abc"));
        // Half of a surrogate pair is never returned.
        const QString emoji = QString::fromUtf8("a\xF0\x9F\x98\x80");
        QCOMPARE(readProfileString(put("[C]\nk=" + emoji.toUtf8() + "\n"), "C", "k", "", 3), QStringLiteral("a"));
    }

    void missingFileGivesTheDefault()
    {
        QCOMPARE(readProfileString(dir.filePath("absent.ini"), "Config", "Pensize", "1", 100), QStringLiteral("1"));
        QCOMPARE(readProfileInt(dir.filePath("absent.ini"), "Config", "Pensize", 42), 42);
        QCOMPARE(readProfileString(dir.path(), "Config", "Pensize", "d", 100), QStringLiteral("d"));
    }

    void readsIntegersFromTheLeadingDigits_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << QByteArray("12") << 12;
        QTest::newRow("leading digits") << QByteArray("12px") << 12;
        QTest::newRow("not a number") << QByteArray("abc") << 0;
        QTest::newRow("negative") << QByteArray("-7") << -7;
        QTest::newRow("plus sign") << QByteArray("+3") << 3;
        QTest::newRow("quoted") << QByteArray("\"15\"") << 15;
        QTest::newRow("wraps like a 32-bit unsigned") << QByteArray("4294967297") << 1;
        QTest::newRow("empty gives the default") << QByteArray("") << 99;
        // Only the first 29 characters are read: 29 ones, wrapped to 32 bits.
        QTest::newRow("long number") << QByteArray(29, '1') + "99999" << 1729917383;
    }

    void readsIntegersFromTheLeadingDigits()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const QString path = put("[Config]\nv=" + value + "\n");
        QCOMPARE(readProfileInt(path, "Config", "v", 99), expected);
        QCOMPARE(readProfileInt(path, "Config", "absent", 99), 99);
    }

    void badFilesNeverCrashOrHang()
    {
        // Random binary, with and without a real section buried in it.
        QRandomGenerator rng(20261207);
        QByteArray noise(1 << 20, '\0');
        for (char& c : noise)
            c = char(rng.bounded(256));
        QCOMPARE(readProfileString(put(noise), "Config", "Pensize", "1", 100), QStringLiteral("1"));
        QCOMPARE(readProfileInt(put(noise), "Config", "Pensize", 1), 1);
        const QString buried = put(noise + "\n[Config]\nPensize=3\n" + noise);
        QCOMPARE(readProfileInt(buried, "Config", "Pensize", 1), 3);

        // Megabytes of lines split only by CR, and one line of megabytes.
        QByteArray crLines;
        for (int i = 0; i < 200000; ++i)
            crLines += "key" + QByteArray::number(i) + "=v\r";
        QCOMPARE(readProfileInt(put("[Config]\r" + crLines + "Pensize=12\r"), "Config", "Pensize", 1), 12);
        const QByteArray longLine(8 << 20, 'x');
        QCOMPARE(readProfileString(put("[Config]\nPensize=" + longLine + "\n"), "Config", "Pensize", "1", 100),
                 QString(99, QLatin1Char('x')));
        QCOMPARE(readProfileInt(put(longLine), "Config", "Pensize", 1), 1);

        // A 10,000-character value, no "=" at all, only brackets.
        QCOMPARE(readProfileString(put("[Config]\nPensize=" + QByteArray(10000, '9') + "\n"), "Config", "Pensize",
                                   "1", 100),
                 QString(99, QLatin1Char('9')));
        QCOMPARE(readProfileString(put("[Config]\nPensize\nExitTray\n"), "Config", "Pensize", "1", 100),
                 QStringLiteral("1"));
        QCOMPARE(readProfileString(put("[[[]]]\n]]]\n[\n[]\n=\n==\n"), "Config", "Pensize", "1", 100),
                 QStringLiteral("1"));
    }

    void oversizedFileReadsAsAbsentAndIsNotRewritten()
    {
        const QString path = dir.filePath("huge.ini");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Config]\nPensize=5\n");
            QVERIFY(f.resize(65LL * 1024 * 1024));  // sparse: costs no disk
        }
        QCOMPARE(readProfileInt(path, "Config", "Pensize", 1), 1);
        QVERIFY(!writeProfileString(path, "Config", "Pensize", "2"));
        QCOMPARE(QFileInfo(path).size(), 65LL * 1024 * 1024);
    }

    void writerChangesOneLineAndKeepsTheRest()
    {
        const QByteArray before = "; settings\r\n"
                                  "[Globals]\r\n"
                                  "Spreader=web\r\n"
                                  "\r\n"
                                  "[assist]\r\n"
                                  "; last report\r\n"
                                  "upload = 20260101\r\n"
                                  "other=x\r\n"
                                  "\r\n"
                                  "[tail]\r\n"
                                  "k=v";
        const QString path = put(before);
        QVERIFY(writeProfileString(path, "ASSIST", "Upload", "20261207"));
        QByteArray expected = before;
        expected.replace("upload = 20260101", "upload = 20261207");
        QCOMPARE(contents(path), expected);

        // A new key goes to the end of its section, before the blank line.
        QVERIFY(writeProfileString(path, "Globals", "Channel", "7"));
        expected.replace("Spreader=web\r\n", "Spreader=web\r\nChannel=7\r\n");
        QCOMPARE(contents(path), expected);

        // A new key in the last section, whose last line has no line break.
        QVERIFY(writeProfileString(path, "tail", "n", "1"));
        expected += "\r\nn=1\r\n";
        QCOMPARE(contents(path), expected);

        // A new section is appended after a blank line.
        QVERIFY(writeProfileString(path, "Config", "Pensize", "3"));
        expected += "\r\n[Config]\r\nPensize=3\r\n";
        QCOMPARE(contents(path), expected);

        QCOMPARE(readProfileString(path, "assist", "upload", "", 100), QStringLiteral("20261207"));
        QCOMPARE(readProfileString(path, "Globals", "Spreader", "", 100), QStringLiteral("web"));
        QCOMPARE(readProfileInt(path, "config", "pensize", 0), 3);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("t.ini").size(), 1);
    }

    void writerCreatesTheFileAndFillsKeysWithoutValue()
    {
        const QString path = dir.filePath("new.ini");
        QFile::remove(path);
        QVERIFY(writeProfileString(path, "assist", "upload", "1"));
        QCOMPARE(contents(path), QByteArray("[assist]\nupload=1\n"));
        QVERIFY(writeProfileString(path, "assist", "upload", ""));
        QCOMPARE(readProfileString(path, "assist", "upload", "d", 100), QString());

        const QString bare = put("[C]\n  flag  \nk=1\n");
        QVERIFY(writeProfileString(bare, "C", "FLAG", "on"));
        QCOMPARE(contents(bare), QByteArray("[C]\n  flag=on\nk=1\n"));
    }

    void writerRejectsTextThatWouldBreakTheFile_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line break in value") << "C" << "k" << "a\n[Evil]\nk=1";
        QTest::newRow("CR in value") << "C" << "k" << "a\rb";
        QTest::newRow("NUL in value") << "C" << "k" << QString(QChar(0));
        QTest::newRow("= in key") << "C" << "a=b" << "v";
        QTest::newRow("key looks like a section") << "C" << "[k]" << "v";
        QTest::newRow("] in section") << "a]b" << "k" << "v";
        QTest::newRow("empty key") << "C" << "  " << "v";
        QTest::newRow("empty section") << "" << "k" << "v";
    }

    void writerRejectsTextThatWouldBreakTheFile()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before = "[C]\nk=1\n";
        const QString path = put(before);
        QVERIFY(!writeProfileString(path, section, key, value));
        QCOMPARE(contents(path), before);
    }

    void writerKeepsBinaryAndEightBitBytes()
    {
        QByteArray before = "[C]\nk=1\n[bin]\nx=";
        for (int i = 1; i < 256; ++i)
            if (i != '\n' && i != '\r')
                before += char(i);
        before += "\n";
        before += QByteArray("y=a\0b\n", 6);
        const QString path = put(before);
        QVERIFY(writeProfileString(path, "C", "k", "2"));
        QByteArray expected = before;
        expected.replace("k=1", "k=2");
        QCOMPARE(contents(path), expected);

        // UTF-16 stays UTF-16 with its mark.
        const QString u16 = put(utf16le(QStringLiteral("[C]\r\nk=1\r\n")));
        QVERIFY(writeProfileString(u16, "C", "k", QString::fromUtf8("\xE7\x94\xBB")));
        QCOMPARE(contents(u16), utf16le(QString::fromUtf8("[C]\r\nk=\xE7\x94\xBB\r\n")));
    }

    void writerFailsCleanlyWhereItCannotWrite()
    {
        QVERIFY(!writeProfileString(dir.filePath("no/such/dir/x.ini"), "C", "k", "v"));
        QVERIFY(!writeProfileString(dir.path(), "C", "k", "v"));
        QTemporaryDir locked;
        const QString path = locked.filePath("x.ini");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[C]\nk=1\n");
        f.close();
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(locked.path()).isWritable()) {
            QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes into read-only folders (root)");
        }
        QVERIFY(!writeProfileString(path, "C", "k", "2"));
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(contents(path), QByteArray("[C]\nk=1\n"));
    }
};

QTEST_GUILESS_MAIN(PrivateProfileTest)
#include "PrivateProfileTest.moc"
