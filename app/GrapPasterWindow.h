#pragma once

#include <QWidget>

// A small frameless, always-on-top window that the main window keeps hidden
// for the whole run. It takes no part in capturing the screen.
class GrapPasterWindow : public QWidget
{
    Q_OBJECT

public:
    explicit GrapPasterWindow(QWidget* parent = nullptr);
};
