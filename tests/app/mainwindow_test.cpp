// The main window offscreen: its shape, the application menu, the exit
// question from every place that asks it, the tray icon and the Chinese texts.

#include "app/AlreadyRunningNotice.h"
#include "app/MainTitleBar.h"
#include "app/MainWindow.h"
#include "canvas/Screenview.h"
#include "panel/PaintControlScene.h"
#include "platform/ScreenCapture.h"
#include "settings/ConfigStore.h"
#include "settings/Language.h"
#include "settings/Retranslatable.h"
#include "widgets/Button.h"
#include "widgets/QCustomMenu.h"
#include "widgets/SettingWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
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

// Answers the next question by the button of `role` once it is up (looked for
// at every turn of the event loop, for as long as `owner` lives, at most 30 s);
// notes whether one was asked.
void answerNextQuestion(QObject* owner, QDialogButtonBox::ButtonRole role, int* asked)
{
    auto* poll = new QTimer(owner);
    const QDeadlineTimer deadline(30000);
    QObject::connect(poll, &QTimer::timeout, [poll, role, asked, deadline] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
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
    poll->start(5);
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
    void closingFromTheWindowManagerAsksTheSameQuestion();
    void dialogsFromTheMenuAndTrayBelongToAnOpenBoard();
    void languageChosenInOptionsAppliesAtOnceAndIsRemembered();
    void onlyASingleTrayClickShowsTheStrip();
    void stripIsNotRedrawnWhenAnotherWindowTakesTheFocus();
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
    QCOMPARE(texts, QStringList({"Help", "About...", "Reopen last board", "Open board...", "Exit"}));
    QCOMPARE(menu->height(), 50 + 5 * 30);
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
    answerNextQuestion(window.get(), QDialogButtonBox::NoRole, &asked);
    window->onMenuItemClicked(MainWindow::ExitItem);
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());
}

void MainWindowTest::exitAnsweredYesClosesTheWindow()
{
    int asked = 0;
    answerNextQuestion(window.get(), QDialogButtonBox::YesRole, &asked);
    window->onMenuItemClicked(MainWindow::ExitItem);
    QCOMPARE(asked, 1);
    QVERIFY(!window->isVisible());
}

void MainWindowTest::titleBarCloseAsksTheSameQuestion()
{
    int asked = 0;
    answerNextQuestion(window.get(), QDialogButtonBox::NoRole, &asked);
    window->titleBarWidget()->closeButton()->click();
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());

    // With the board open the board asks; No keeps it.
    window->panel()->setOpenBoard();
    QPointer<Screenview> board = window->panel()->board();
    QVERIFY(board);
    answerNextQuestion(window.get(), QDialogButtonBox::NoRole, &asked);
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
    answerNextQuestion(window.get(), QDialogButtonBox::NoRole, &asked);
    window->trayExitAction()->trigger();
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());
}

// Each dialog that blocks input while a board is open must show above the
// full-screen board: a window of the board's, never one of its own.
void MainWindowTest::dialogsFromTheMenuAndTrayBelongToAnOpenBoard()
{
    window->panel()->setOpenBoard();
    QPointer<Screenview> board = window->panel()->board();
    QVERIFY(board);
    QStringList owners;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            QWidget* parent = dialog->parentWidget();
            owners << QString::fromLatin1(parent && parent->window() == board ? "board" : "none");
            dialog->close();
        }
    });
    poll.start(5);
    window->onMenuItemClicked(MainWindow::AboutItem);
    window->onMenuItemClicked(MainWindow::ExitItem);
    window->trayExitAction()->trigger();
    poll.stop();
    QCOMPARE(owners, QStringList({"board", "board", "board"}));
    QVERIFY(board && window->isVisible());
}

void MainWindowTest::closingFromTheWindowManagerAsksTheSameQuestion()
{
    // QWidget::close() is what a window manager's close request (Alt+F4) runs.
    int asked = 0;
    answerNextQuestion(window.get(), QDialogButtonBox::NoRole, &asked);
    window->close();
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());

    // With the board open the board asks; No keeps the board and its strip.
    window->panel()->setOpenBoard();
    QPointer<Screenview> board = window->panel()->board();
    QVERIFY(board);
    answerNextQuestion(window.get(), QDialogButtonBox::NoRole, &asked);
    window->close();
    QCOMPARE(asked, 2);
    QVERIFY(board && board->isVisible());
    QVERIFY(window->isVisible());
}

void MainWindowTest::languageChosenInOptionsAppliesAtOnceAndIsRemembered()
{
    // A user with nothing stored yet, started from some working directory.
    QTemporaryDir config;
    QTemporaryDir work;
    const QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(work.path());
    initLanguages();
    ConfigStore::instance()->load();
    applyStoredLanguage();
    const QString chineseExit = window->trayExitAction()->text();
    const QString chineseNotice = AlreadyRunningNotice::text();
    window->panel()->setOpenBoard();

    SettingWindow options(nullptr);
    auto* choice = options.findChild<QComboBox*>("comboBoxLang");
    QVERIFY(choice);
    QCOMPARE(choice->count(), 2);
    QCOMPARE(choice->currentData().toString(), QString("zh_CN"));
    choice->setCurrentIndex(choice->findData("en_US"));
    // Every open window speaks English at once, the dialog itself too.
    const QString englishExit = window->trayExitAction()->text();
    const QString englishTip = window->panel()->findChild<QAbstractButton*>("pen_radio_btn")->toolTip();
    QStringList englishRows;
    for (QLabel* label : window->applicationMenu()->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            englishRows << label->text();
    }
    const QString englishTitle = options.windowTitle();
    const QString englishBoardMenu = window->panel()->board()->mainContextMenu()->actions().value(0)->text();
    const QString englishNotice = AlreadyRunningNotice::text();

    // The next start reads the choice from the user's configuration folder.
    ConfigStore::instance()->load();
    const int stored = ConfigStore::instance()->getInt("Langua");
    QFile userFile(config.filePath("Scribbloom/Scribbloom.ini"));
    const bool remembered = userFile.open(QIODevice::ReadOnly) && userFile.readAll().contains("Langua=1");
    const bool workingDirWritten = QFile::exists(work.filePath("Scribbloom.ini"));

    choice->setCurrentIndex(choice->findData("zh_CN"));
    const QString chineseAgain = window->trayExitAction()->text();
    applyLanguage("en_US");
    QDir::setCurrent(previousDir);
    qputenv("XDG_CONFIG_HOME", previousConfig);

    QCOMPARE(chineseExit, QString::fromUtf8("退出"));
    QCOMPARE(chineseNotice, QString::fromUtf8("Scribbloom 已经在运行……"));
    QCOMPARE(englishExit, QString("Exit"));
    QCOMPARE(englishTip, QString("pen (P)"));
    QCOMPARE(englishRows, QStringList({"Help", "About...", "Reopen last board", "Open board...", "Exit"}));
    QCOMPARE(englishTitle, QString("Option"));
    QCOMPARE(englishBoardMenu, QString("    Exit(&7)"));
    QCOMPARE(englishNotice, QString("Scribbloom is already running ..."));
    QCOMPARE(stored, languageIndexOf("en_US"));
    QVERIFY(remembered);
    QVERIFY(!workingDirWritten);
    QCOMPARE(chineseAgain, QString::fromUtf8("退出"));
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

namespace {

// Counts the paint events of a window and of everything in it.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

void MainWindowTest::stripIsNotRedrawnWhenAnotherWindowTakesTheFocus()
{
    // Every press on the board after a click on the strip moves the focus
    // between them; a redraw of the strip then would hold up the stroke.
    QWidget board;
    board.resize(300, 200);
    board.show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
    PaintCounter counter;
    window->installEventFilter(&counter);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(&counter);

    for (int i = 0; i < 2; ++i) {
        board.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        QCoreApplication::processEvents();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCoreApplication::processEvents();
    }
    QCOMPARE(counter.paints, 0);
    // Still drawn when something on it does change.
    window->panel()->update();
    QTRY_VERIFY(counter.paints > 0);
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
    QCOMPARE(penTip, QString::fromUtf8("画笔 (P)"));
    QVERIFY2(fileName.contains(QString::fromUtf8("文件")), qPrintable(fileName));
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
