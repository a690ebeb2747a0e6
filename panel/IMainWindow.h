#pragma once

class QWidget;

// What the tool panel needs from the window that carries it: the panel sits
// below the application shell, so it reaches the main window through this.
class IMainWindow
{
public:
    virtual ~IMainWindow() = default;

    // The application menu (Help, About..., Exit) that the menu button pops up;
    // the panel places and shows it.
    virtual QWidget* applicationMenu() const = 0;
    // Asks whether to exit; on Yes the window closes and the event loop ends
    // with status 0, on anything else nothing happens.
    virtual void confirmExit() = 0;
};
