#include "app/AppLauncher.h"
#include "platform/GuiEnvironment.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

int main(int argc, char* argv[])
{
    GuiEnvironment::prepare();
    if (!SingleInstance::acquire(QStringLiteral("SingleScribbloom"))) {
        // The notice needs an application object; this plain one exists on
        // this path only, since the high-DPI attributes below must be set
        // before the real one is made.
        QApplication app(argc, argv);
        QMessageBox::information(nullptr, QString("Scribbloom"),
                                 QString("Scribbloom is already running ..."), QMessageBox::Ok,
                                 QMessageBox::NoButton);
        return 1;
    }

    QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling, false);
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
    QApplication app(argc, argv);
    {
        AppLauncher launcher;
        launcher.init(&app);
        launcher.run();
    }
    return 0;
}
