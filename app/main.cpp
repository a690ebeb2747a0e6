#include "app/AlreadyRunningNotice.h"
#include "app/AppLauncher.h"
#include "platform/GuiPlatform.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QString>

#include <cstdlib>
#include <cstdio>
#include <string>

int main(int argc, char* argv[])
{
    // The window-system platform is fixed once the first application object
    // exists, and even the notice below needs one.
    std::string problem;
    if (!platform::prepareGuiPlatform(&problem)) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }

    if (!SingleInstance::acquire(QStringLiteral("SingleScribbloom"))) {
        // The notice needs an application object; this plain one exists on
        // this path only, since the high-DPI attributes below must be set
        // before the real one is made.
        QApplication app(argc, argv);
        AlreadyRunningNotice::show();
        return 1;
    }

    QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling, false);
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
    bool cleanExit = true;
    {
        QApplication app(argc, argv);
        AppLauncher launcher;
        launcher.init(&app);
        cleanExit = launcher.run();
    }
    // The usage report's thread could not be stopped in time: the libraries'
    // exit-time teardown would pull their state from under it.
    if (!cleanExit)
        std::_Exit(0);
    return 0;
}
