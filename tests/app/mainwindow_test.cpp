// The main window offscreen: its shape, the application menu, the exit
// question from every place that asks it, the tray icon and the Chinese texts.

#include "app/MainTitleBar.h"
#include "app/MainWindow.h"
#include "settings/Retranslatable.h"
#include "canvas/Screenview.h"
#include "platform/ScreenCapture.h"
#include "widgets/Button.h"
#include "panel/PaintControlScene.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

class SolidCapture : public ScreenCapture
{
public:
    QPixmap captureScreen(WId, int, int, int width, int height) override
    {
        QPixmap pixmap(width, height);
        pixmap.fill(Qt::darkCyan);
        return pixmap;
    }
};

// Answers the next question by the button of `role`; notes whether one was asked.
void answerNextQuestion(QDialogButtonBox::ButtonRole role, int* asked)
{
    QTimer::singleShot(0, [role, asked] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        ++*asked;
        for (auto* box : dialog->findChildren<QDialogButtonBox*>()) {
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == role) {
                    button->click();
                    return;
                }
            }
        }
        dialog->close();
    });
}

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void isANarrowFramelessStripAlwaysOnTop();
    void constructionPlacesItOnTheFirstMonitor();
    void applicationMenuOffersHelpAboutAndExit();
    void helpOpensTheInstalledHelpPage();
    void exitAnsweredNoKeepsEverythingRunning();
    void titleBarCloseAsksTheSameQuestion();
    void trayExitAsksTheSameQuestion();
    void onlyASingleTrayClickShowsTheStrip();
    void textsAreChineseWithTheChineseTranslation();
    // Last: a Yes ends the application's event loop, which no later test could run.
    void exitAnsweredYesClosesTheWindow();

private:
    SolidCapture capture;
    std::unique_ptr<MainWindow> window;
};

void MainWindowTest::init()
{
    ScreenCapture::setInstance(&capture);
    window = std::make_unique<MainWindow>(nullptr);
    window->show();
}

void MainWindowTest::cleanup()
{
    window.reset();
    ScreenCapture::setInstance(nullptr);
}

void MainWindowTest::isANarrowFramelessStripAlwaysOnTop()
{
    QCOMPARE(window->size(), QSize(82, 745));
    QCOMPARE(window->minimumSize(), QSize(82, 745));
    QCOMPARE(window->objectName(), QString("mainWindow"));
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window->styleSheet().contains("#343436"));
    // Tooltips show while the board, not the strip, is the active window.
    QVERIFY(window->testAttribute(Qt::WA_AlwaysShowToolTips));
    QCOMPARE(window->windowTitle(), QString("Scribbloom"));

    QCOMPARE(window->panel()->objectName(), QString("paintControlScene"));
    QCOMPARE(window->titleBarWidget()->height(), 25);
    // The title bar sits on top of the panel, both inside the shadow margin.
    QCOMPARE(window->titleBarWidget()->mapTo(window.get(), QPoint()), QPoint(10, 10));
    QCOMPARE(window->panel()->mapTo(window.get(), QPoint()), QPoint(10, 35));
    QCOMPARE(window->titleBarWidget()->closeButton()->size(), QSize(9, 9));
    QCOMPARE(window->titleBarWidget()->closeButton()->tileCount(), 4);
}

void MainWindowTest::constructionPlacesItOnTheFirstMonitor()
{
    const QRect monitor = QGuiApplication::screens().first()->geometry();
    QCOMPARE(window->pos(), QPoint(monitor.x() + monitor.width() - 82 - 10, monitor.y() + 60));
}

void MainWindowTest::applicationMenuOffersHelpAboutAndExit()
{
    QWidget* menu = window->applicationMenu();
    QVERIFY(menu);
    QStringList texts;
    for (QLabel* label : menu->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts << label->text();
    }
    QCOMPARE(texts, QStringList({"Help", "About...", "Exit"}));
    QCOMPARE(menu->height(), 50 + 3 * 30);
}

void MainWindowTest::helpOpensTheInstalledHelpPage()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    window->onMenuItemClicked(MainWindow::HelpItem);
    window->panel()->setHelper();
    QDesktopServices::unsetUrlHandler("file");

    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(catcher.urls[0], catcher.urls[1]);
    const QString page = catcher.urls[0].toLocalFile();
    QCOMPARE(page, QCoreApplication::applicationDirPath() + "/help/index.html");
    QVERIFY2(QFile::exists(page), qPrintable(page));
}

void MainWindowTest::exitAnsweredNoKeepsEverythingRunning()
{
    int asked = 0;
    answerNextQuestion(QDialogButtonBox::NoRole, &asked);
    window->onMenuItemClicked(MainWindow::ExitItem);
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());
}

void MainWindowTest::exitAnsweredYesClosesTheWindow()
{
    int asked = 0;
    answerNextQuestion(QDialogButtonBox::YesRole, &asked);
    window->onMenuItemClicked(MainWindow::ExitItem);
    QCOMPARE(asked, 1);
    QVERIFY(!window->isVisible());
}

void MainWindowTest::titleBarCloseAsksTheSameQuestion()
{
    int asked = 0;
    answerNextQuestion(QDialogButtonBox::NoRole, &asked);
    window->titleBarWidget()->closeButton()->click();
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());

    // With the board open the board asks; No keeps it.
    window->panel()->setOpenBoard();
    QPointer<Screenview> board = window->panel()->board();
    QVERIFY(board);
    answerNextQuestion(QDialogButtonBox::NoRole, &asked);
    window->titleBarWidget()->closeButton()->click();
    QCOMPARE(asked, 2);
    QVERIFY(board);
    QVERIFY(window->isVisible());
}

void MainWindowTest::trayExitAsksTheSameQuestion()
{
    QMenu* menu = window->trayContextMenu();
    QCOMPARE(menu->property("class").toString(), QString("subPopMenu"));
    QCOMPARE(menu->actions().size(), 2);
    QVERIFY(menu->actions().at(0)->isSeparator());
    QCOMPARE(menu->actions().at(1), window->trayExitAction());

    int asked = 0;
    answerNextQuestion(QDialogButtonBox::NoRole, &asked);
    window->trayExitAction()->trigger();
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());
}

void MainWindowTest::onlyASingleTrayClickShowsTheStrip()
{
    QVERIFY(window->tray()->isVisible());
    window->hide();
    emit window->tray()->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(!window->isVisible());
    emit window->tray()->activated(QSystemTrayIcon::Context);
    QVERIFY(!window->isVisible());
    emit window->tray()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(window->isVisible());
}

void MainWindowTest::textsAreChineseWithTheChineseTranslation()
{
    QTranslator chinese;
    QVERIFY(chinese.load("Scribbloom_zh", QCoreApplication::applicationDirPath() + "/translations"));
    QCoreApplication::installTranslator(&chinese);
    Retranslatable::retranslateAll();
    const QString exitText = window->trayExitAction()->text();
    const QString tip = window->tray()->toolTip();

    // A new strip built under the translation shows Chinese tooltips.
    MainWindow fresh(nullptr);
    const QString penTip = fresh.panel()->findChild<QAbstractButton*>("pen_radio_btn")->toolTip();
    // Qt's own dialogs (saving, colours, printing) come with the same translator.
    const QString fileName = QCoreApplication::translate("QFileDialog", "File &name:");
    QCoreApplication::removeTranslator(&chinese);

    QCOMPARE(exitText, QString::fromUtf8("退出"));
    QVERIFY(tip.startsWith("Scribbloom"));
    QCOMPARE(penTip, QString::fromUtf8("画笔"));
    QVERIFY2(fileName.contains(QString::fromUtf8("文件")), qPrintable(fileName));
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
