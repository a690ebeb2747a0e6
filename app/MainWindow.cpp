#include "app/MainWindow.h"

#include "app/GrapPasterWindow.h"
#include "app/MainTitleBar.h"
#include "settings/HelpPage.h"
#include "settings/UiGlobalSettings.h"
#include "platform/DesktopWindows.h"
#include "canvas/Screenview.h"
#include "widgets/AboutWidget.h"
#include "widgets/MsgBox.h"
#include "widgets/QCustomMenu.h"
#include "widgets/SettingWindow.h"
#include "widgets/StyleSheet.h"
#include "panel/PaintControlScene.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget* parent)
    : PubWindow(parent)
{
    resize(82, 745);
    setMinimumSize(82, 745);

    setUpTray();
    setObjectName(QStringLiteral("mainWindow"));
    // The strip is rarely the active window (the board is, while the user
    // draws), yet its buttons must still explain themselves on hover.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    grapPasterWindow = std::make_unique<GrapPasterWindow>(nullptr);
    grapPasterWindow->hide();

    titleBar = new MainTitleBar(this);
    paintControlScene = new PaintControlScene(this);
    paintControlScene->setObjectName(QStringLiteral("paintControlScene"));

    setWindowTitle(tr("Scribbloom"));

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(titleBar);
    layout->addWidget(paintControlScene);
    centralWidget()->setLayout(layout);

    connect(titleBar, &MainTitleBar::clicked, this, &MainWindow::onMainTitleBarClicked);

    UiGlobalSettings::instance()->mainWindow = this;
    UiGlobalSettings::instance()->init(QStringLiteral("setup.ini"));

    const QString sheet = StyleSheet::load(QStringLiteral(":/qss/resource/qss/Mainframe.qss"));
    if (!sheet.isEmpty())
        setStyleSheet(sheet);
    // Nothing on the strip takes the keyboard focus: it belongs to the board,
    // and a strip button that took it would be drawn again, and with it the
    // whole strip under its shadow, whenever the focus moved between the
    // two windows, that is with nearly every click on the strip. That redraw
    // would hold up the stroke whose press took the focus back to the board.
    for (QWidget* child : findChildren<QWidget*>())
        child->setFocusPolicy(Qt::NoFocus);

    buildAppMenu();

    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint | platform::toolStripFlags());
    // A tiling window manager floats the strip instead of giving it half the screen.
    winId();
    platform::markToolStrip(windowHandle());
    placeOnFirstMonitor();

    Retranslatable::retranslateAll();
}

MainWindow::~MainWindow()
{
    delete appMenu;
    appMenu = nullptr;
}

void MainWindow::setUpTray()
{
    setWindowIcon(QIcon(QStringLiteral(":/main/resource/app.ico")));

    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setIcon(QIcon(QStringLiteral(":/main/resource/app.ico")));
    trayIcon->setToolTip(tr("Scribbloom\n :F1"));

    trayMenu = new QMenu(this);
    trayMenu->setProperty("class", QStringLiteral("subPopMenu"));
    trayMenu->setWindowFlags(trayMenu->windowFlags() | Qt::FramelessWindowHint);
    trayMenu->setAttribute(Qt::WA_TranslucentBackground);
    const QString sheet = StyleSheet::load(QStringLiteral(":/qss/resource/qss/popMenu.qss"));
    if (!sheet.isEmpty())
        trayMenu->setStyleSheet(sheet);
    trayMenu->addSeparator();
    exitAction = trayMenu->addAction(tr("Exit"));
    trayIcon->setContextMenu(trayMenu);

    connect(trayMenu, &QMenu::triggered, this, &MainWindow::onMenuTrigged);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::onTrayActivated);

    trayIcon->show();
    trayIcon->showMessage(QString(), QStringLiteral("Scribbloom"), QSystemTrayIcon::Information, 10000);
}

void MainWindow::buildAppMenu()
{
    appMenu = new QCustomMenu(nullptr);
    appMenu->addMenuItem(QIcon(), tr("Help"), HelpItem);
    appMenu->addMenuItem(QIcon(), tr("About..."), AboutItem);
    appMenu->addMenuItem(QIcon(), tr("Reopen last board"), ReopenItem);
    appMenu->addMenuItem(QIcon(), tr("Open board..."), OpenItem);
    appMenu->addMenuItem(QIcon(), tr("Exit"), ExitItem);
    connect(appMenu, &QCustomMenu::menuItemClicked, this, &MainWindow::onMenuItemClicked);
}

void MainWindow::placeOnFirstMonitor()
{
    const QRect monitor = platform::firstMonitorGeometry();
    if (monitor.isEmpty())
        return;
    move(monitor.right() + 1 - width() - 10, monitor.top() + 60);
}

QWidget* MainWindow::applicationMenu() const
{
    return appMenu;
}

void MainWindow::confirmExit()
{
    // Asked from the tray or the application menu while a board is open,
    // the question must show above the board, so it belongs to it.
    QWidget* owner = paintControlScene ? paintControlScene->board() : nullptr;
    const int answer = MsgBox::question(owner, tr("Tips"), tr("Whether it is necessary to exit the software?"),
                                        QMessageBox::Yes | QMessageBox::No, 0);
    if (answer != QMessageBox::Yes)
        return;
    exitConfirmed = true;
    close();
    QCoreApplication::exit(0);
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("Scribbloom"));
    trayIcon->setToolTip(tr("Scribbloom\n :F1"));
    exitAction->setText(tr("Exit"));
    appMenu->setMenuItemText(ReopenItem, tr("Reopen last board"));
    appMenu->setMenuItemText(OpenItem, tr("Open board..."));
    appMenu->setMenuItemText(HelpItem, tr("Help"));
    appMenu->setMenuItemText(AboutItem, tr("About..."));
    appMenu->setMenuItemText(ExitItem, tr("Exit"));
    paintControlScene->retranslate();
}

void MainWindow::onMenuItemClicked(int ItemID)
{
    switch (ItemID) {
    case ReopenItem:
        paintControlScene->reopenLastBoard();
        break;
    case OpenItem:
        paintControlScene->chooseBoardFile();
        break;
    case HelpItem:
        QDesktopServices::openUrl(HelpPage::url());
        break;
    case AboutItem: {
        AboutWidget about(nullptr);
        paintControlScene->belongToBoard(&about);
        about.exec();
        break;
    }
    case ExitItem:
        confirmExit();
        break;
    default:
        break;
    }
}

void MainWindow::onMenuTrigged(QAction* action)
{
    if (!action)
        return;
    if (action == optionAction) {
        SettingWindow dialog(nullptr);
        paintControlScene->belongToBoard(&dialog);
        dialog.exec();
    } else if (action == exitAction) {
        confirmExit();
    }
}

void MainWindow::onMainTitleBarClicked(int buttonType)
{
    if (buttonType == MainTitleBar::CloseButton)
        paintControlScene->setExitApp();
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger)
        return;
    platform::raiseAboveAll(winId());
    show();
    activateWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    PubWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (exitConfirmed) {
        PubWindow::closeEvent(event);
        return;
    }
    // Closing the strip alone would leave an open board with no tools; the
    // panel asks (through the board when one is open) and quits on Yes.
    event->ignore();
    paintControlScene->setExitApp();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
}
