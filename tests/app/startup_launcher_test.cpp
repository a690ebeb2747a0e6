// The launcher's set-up as the program's own start-up runs it.
#include "app/AppLauncher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

class LauncherTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { launcher.init(qApp); }

    void windowIconIsCleanAtSmallSizes()
    {
        const QIcon icon = QApplication::windowIcon();
        QVERIFY(!icon.isNull());
        for (int size : { 16, 32, 48 }) {
            QVERIFY(icon.availableSizes().contains(QSize(size, size)));
            const QImage image = icon.pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // Rounded tile: transparent corners, solid middle.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
    }

    void symbolsHaveTheirSizesAndTransparentBackgrounds()
    {
        const QImage tick(":/main/resource/right.png");
        const QImage cross(":/main/resource/error.png");
        QCOMPARE(tick.size(), QSize(59, 45));
        QCOMPARE(cross.size(), QSize(44, 44));
        for (const QImage& image : { tick, cross }) {
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
        }
    }

    void nonAsciiFileNamesStayUtf8OnDisk()
    {
        QTemporaryDir dir;
        const QString name = QString::fromUtf8("\xE6\xB5\x8B\xE8\xAF\x95.png");
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();

        std::vector<std::string> names;
        DIR* listing = opendir(QFile::encodeName(dir.path()).constData());
        QVERIFY(listing);
        while (dirent* entry = readdir(listing)) {
            names.push_back(entry->d_name);
        }
        closedir(listing);
        QVERIFY(std::find(names.begin(), names.end(), name.toUtf8().toStdString()) != names.end());
        QVERIFY(QFile::exists(dir.filePath(name)));
    }

private:
    AppLauncher launcher;
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
    QApplication app(argc, argv);
    LauncherTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "startup_launcher_test.moc"
