#pragma once

#include "settings/Retranslatable.h"
#include "widgets/PubWindow.h"
#include "panel/IMainWindow.h"

#include <QSystemTrayIcon>

#include <memory>

class GrapPasterWindow;
class MainTitleBar;
class PaintControlScene;
class QAction;
class QCloseEvent;
class QCustomMenu;
class QEvent;
class QKeyEvent;
class QMenu;

// The program's one top-level window: a narrow, always-on-top, frameless
// strip with a title bar over the tool panel. It also owns the tray icon
// with its menu, the application menu the panel pops up (Help, About...,
// Exit) and a hidden GrapPasterWindow.
class MainWindow : public PubWindow, public Retranslatable, public IMainWindow
{
    Q_OBJECT

public:
    // Identifiers of the application menu's rows.
    enum MenuItem { HelpItem = 1000, AboutItem = 1001, ExitItem = 1002, ReopenItem = 1003, OpenItem = 1004 };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QWidget* applicationMenu() const override;
    void confirmExit() override;
    void retranslate() override;

    PaintControlScene* panel() const { return paintControlScene; }
    MainTitleBar* titleBarWidget() const { return titleBar; }
    QSystemTrayIcon* tray() const { return trayIcon; }
    QMenu* trayContextMenu() const { return trayMenu; }
    QAction* trayExitAction() const { return exitAction; }

public slots:
    void onMenuItemClicked(int ItemID);
    void onMenuTrigged(QAction* action);
    void onMainTitleBarClicked(int buttonType);

protected:
    void changeEvent(QEvent* event) override;
    // A close from outside (the window manager's close, Alt+F4) asks the exit
    // question like the strip's own close button; only a confirmed exit closes.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);

private:
    void setUpTray();
    void buildAppMenu();
    void placeOnFirstMonitor();

    MainTitleBar* titleBar = nullptr;
    PaintControlScene* paintControlScene = nullptr;
    QSystemTrayIcon* trayIcon = nullptr;
    QMenu* trayMenu = nullptr;
    // Never shown; it has no parent, so the window owns it here.
    std::unique_ptr<GrapPasterWindow> grapPasterWindow;
    // Opens the Options dialog when some menu hands it to onMenuTrigged.
    QAction* optionAction = nullptr;
    QAction* exitAction = nullptr;
    QCustomMenu* appMenu = nullptr;
    // Set once the user confirmed the exit: the close that follows goes through.
    bool exitConfirmed = false;
};
