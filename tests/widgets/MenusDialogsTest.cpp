#include "settings/ConfigStore.h"
#include "widgets/AboutWidget.h"
#include "widgets/PenSizeWindow.h"
#include "widgets/QColorRadio.h"
#include "widgets/QCustomMenu.h"
#include "widgets/QMenuItem.h"
#include "widgets/SettingWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

void whenModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            QFAIL("no dialog is up");
            return;
        }
        action(w);
    });
}

// Opens the pen-size dialog, picks entry (or closes it when pick < 0), and
// returns the exec() result and the chosen size.
std::pair<int, int> runPenSize(int pick, int* preselected = nullptr)
{
    PenSizeWindow dialog;
    auto* combo = dialog.findChild<QComboBox*>("penSizeCombox");
    if (preselected)
        *preselected = combo->currentIndex();
    whenModal([pick, combo](QWidget* w) {
        if (pick < 0) {
            w->close();
            return;
        }
        combo->setCurrentIndex(pick);
        QTest::mouseClick(w->findChild<QPushButton*>("okPushButton"), Qt::LeftButton);
    });
    const int result = dialog.exec();
    return {result, dialog.penSize()};
}

}  // namespace

class MenusDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void menuGrowsThirtyPixelsPerRow()
    {
        QCustomMenu menu;
        QCOMPARE(menu.height(), 50);
        QCOMPARE(menu.width(), 180);
        for (int n = 1; n <= 4; ++n) {
            menu.addMenuItem(QIcon(), QString("row %1").arg(n), 1000 + n);
            QCOMPARE(menu.height(), 50 + 30 * n);
        }
        QCOMPARE(menu.rowCount(), 4);
        QCOMPARE(menu.list()->count(), 4);
    }

    void menuRowsReportTheirIdOnRelease()
    {
        QCustomMenu menu;
        menu.addMenuItem(QIcon(":/main/resource/logo16.png"), "Help", 1000);
        menu.addMenuItem(QIcon(), "Exit", 1002);
        QSignalSpy clicked(&menu, &QCustomMenu::menuItemClicked);
        auto* exitRow = qobject_cast<QMenuItem*>(menu.list()->itemWidget(menu.list()->item(1)));
        QVERIFY(exitRow);
        QTest::mouseRelease(exitRow, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(exitRow, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(clicked.at(0).at(0).toInt(), 1002);
    }

    void rowsWithoutIconStartTheTextTenPixelsIn()
    {
        QCustomMenu menu;
        menu.addMenuItem(QIcon(":/main/resource/logo16.png"), "Help", 1000);
        menu.addMenuItem(QIcon(), "Exit", 1002);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        auto* withIcon = qobject_cast<QMenuItem*>(menu.list()->itemWidget(menu.list()->item(0)));
        auto* plain = qobject_cast<QMenuItem*>(menu.list()->itemWidget(menu.list()->item(1)));
        QVERIFY(withIcon->iconLabel());
        QVERIFY(!withIcon->iconLabel()->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(!plain->iconLabel());
        QCOMPARE(plain->findChildren<QLabel*>().size(), 1);
        QCOMPARE(plain->textLabel()->x(), 10);
        QCOMPARE(plain->height(), 30);
    }

    void hoveredRowIsFilled()
    {
        QMenuItem row(false);
        row.resize(150, 30);
        const QColor before = row.grab().toImage().pixelColor(100, 15);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&row, &enter);
        QVERIFY(row.isHovered());
        const QColor hovered = row.grab().toImage().pixelColor(100, 15);
        QVERIFY(hovered != before);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&row, &leave);
        QVERIFY(!row.isHovered());
    }

    void colourRadioRingFollowsTheCheck()
    {
        QColorRadio radio;
        radio.setFixedSize(28, 28);
        radio.show();
        QVERIFY(QTest::qWaitForWindowExposed(&radio));
        QCOMPARE(radio.ring()->objectName(), QString("selected_color_radio_btn"));
        QCOMPARE(radio.ring()->size(), QSize(21, 21));
        QVERIFY(!radio.ring()->isVisible());
        radio.setSelectedVisible(true);
        QVERIFY(radio.ring()->isVisible());
        radio.setSelectedVisible(false);
        QVERIFY(!radio.ring()->isVisible());
    }

    void penSizePreselectsTheStoredSize_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("index");
        QTest::newRow("default 1") << 1 << 0;
        QTest::newRow("5") << 5 << 4;
        QTest::newRow("32") << 32 << 31;
        QTest::newRow("0 picks the first") << 0 << 0;
        QTest::newRow("33 picks the first") << 33 << 0;
        QTest::newRow("negative picks the first") << -4 << 0;
    }

    void penSizePreselectsTheStoredSize()
    {
        QFETCH(int, stored);
        QFETCH(int, index);
        ConfigStore::instance()->setInt("Pensize", stored);
        PenSizeWindow dialog;
        auto* combo = dialog.findChild<QComboBox*>("penSizeCombox");
        QCOMPARE(combo->count(), 32);
        QCOMPARE(combo->itemText(0), QString("1"));
        QCOMPARE(combo->itemText(31), QString("32"));
        QCOMPARE(combo->currentIndex(), index);
        QCOMPARE(dialog.windowTitle(), QString("Pen size"));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void penSizeRemembersTheAcceptedSize()
    {
        ConfigStore::instance()->setInt("Pensize", 1);
        const auto accepted = runPenSize(11);
        QCOMPARE(accepted.first, int(QDialog::Accepted));
        QCOMPARE(accepted.second, 12);
        QCOMPARE(ConfigStore::instance()->getInt("Pensize"), 12);

        int preselected = -1;
        const auto closed = runPenSize(-1, &preselected);
        QCOMPARE(preselected, 11);
        QCOMPARE(closed.first, int(QDialog::Rejected));
        QCOMPARE(ConfigStore::instance()->getInt("Pensize"), 12);
    }

    void optionDialogShowsTheVersionAndStoresTheLanguage()
    {
        SettingWindow dialog;
        QCOMPARE(dialog.windowTitle(), QString("Option"));
        QCOMPARE(dialog.size(), QSize(444, 217));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowStaysOnTopHint));
        auto* tabs = dialog.findChild<QTabWidget*>("tabWidget");
        QCOMPARE(tabs->tabText(0), QString("updater"));
        QCOMPARE(dialog.findChild<QLabel*>("labelVersion")->text(), QString("Version:1.1.6.1429"));
        QCOMPARE(dialog.findChild<QPushButton*>("pushBtnUpdate")->text(), QString("Update now"));
        dialog.OnComboxLangState(1);
        QCOMPARE(ConfigStore::instance()->getInt("Langua"), 1);
        dialog.OnComboxLangState(0);
        QCOMPARE(ConfigStore::instance()->getInt("Langua"), 0);
    }

    void aboutBoxShowsNameVersionAndClosesFromItsButton()
    {
        AboutWidget about;
        QCOMPARE(about.size(), QSize(478, 371));
        QVERIFY(about.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(about.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(about.findChild<QLabel*>("productName")->text(), QString("Scribbloom"));
        QCOMPARE(about.findChild<QLabel*>("versionLabel")->text(), QString("1.1.6.1429"));
        QCOMPARE(about.findChild<QLabel*>("aboutTitle")->text(), QString("About..."));
        QVERIFY(about.findChild<QLabel*>("noticeLabel")->text().contains("<a href="));
        QCOMPARE(about.findChild<QLabel*>("appIcon")->pixmap(Qt::ReturnByValue).size(), QSize(96, 96));

        QVERIFY(about.isCaptionAt(QPoint(200, 10)));
        QVERIFY(!about.isCaptionAt(QPoint(20, 15)));   // the title label
        QVERIFY(!about.isCaptionAt(QPoint(450, 10)));  // the close button
        QVERIFY(!about.isCaptionAt(QPoint(200, 100))); // the body

        whenModal([](QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("closeButton"), Qt::LeftButton); });
        QCOMPARE(about.exec(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(MenusDialogsTest)
#include "MenusDialogsTest.moc"
