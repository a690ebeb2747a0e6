#include "app/GrapPasterWindow.h"

#include "widgets/FramelessWidget.h"

#include <QCoreApplication>

GrapPasterWindow::GrapPasterWindow(QWidget* parent)
    : QWidget(parent, Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint)
{
    auto* frameless = new FramelessWidget(this);
    frameless->setMoveEnable(true);
    frameless->setWidget(this);
    resize(443, 204);
    setWindowTitle(QCoreApplication::translate("GrapPasterWindow", "GrapPasterWindow"));
}
