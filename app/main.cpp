#include "app/AlreadyRunningNotice.h"
#include "app/AppLauncher.h"
#include "app/BoardRemote.h"
#include "app/CommandLine.h"
#include "platform/GuiPlatform.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

#include <cstdlib>
#include <cstdio>
#include <string>

int main(int argc, char* argv[])
{
    const CommandLine command = CommandLine::parse(argc, argv);
    switch (command.action) {
    case CommandLine::Help:
        std::fputs(CommandLine::usage().c_str(), stdout);
        return 0;
    case CommandLine::Version:
        std::fputs(CommandLine::version().c_str(), stdout);
        return 0;
    case CommandLine::Invalid:
        std::fprintf(stderr, "scribbloom: %s\n", command.problem.c_str());
        return 2;
    default:
        break;
    }
    const bool boardCommand = command.action == CommandLine::SwitchBoard || command.action == CommandLine::CloseBoard
        || command.action == CommandLine::OpenFile;
    // The running copy may have started elsewhere: it is told the whole path.
    const QString boardFile = command.action == CommandLine::OpenFile
        ? QFileInfo(QString::fromLocal8Bit(command.file.c_str())).absoluteFilePath()
        : QString();
    const QString lockName = QStringLiteral("SingleScribbloom");
    const QString control = SingleInstance::controlAddress(lockName);

    // The window-system platform is fixed once the first application object
    // exists, and even the notice below needs one.
    std::string problem;
    if (!platform::prepareGuiPlatform(&problem) && !boardCommand) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }

    if (!SingleInstance::acquire(lockName)) {
        if (boardCommand) {
            // The copy already running does it; this start only passes it on.
            QCoreApplication app(argc, argv);
            QString failure;
            const QByteArray sent = command.action == CommandLine::SwitchBoard ? QByteArray("board")
                : command.action == CommandLine::CloseBoard                ? QByteArray("close-board")
                                                                           : "open " + boardFile.toUtf8();
            if (!BoardRemote::send(control, sent, &failure)) {
                std::fprintf(stderr, "scribbloom: %s\n", qPrintable(failure));
                return 1;
            }
            return 0;
        }
        // The notice needs an application object; this plain one exists on
        // this path only, since the high-DPI attributes below must be set
        // before the real one is made.
        QApplication app(argc, argv);
        AlreadyRunningNotice::show();
        return 1;
    }
    // Nothing runs, so there is no board to close.
    if (command.action == CommandLine::CloseBoard)
        return 0;
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
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
        cleanExit = launcher.run(command.action == CommandLine::SwitchBoard, control, boardFile);
    }
    // The usage report's thread could not be stopped in time: the libraries'
    // exit-time teardown would pull their state from under it.
    if (!cleanExit)
        std::_Exit(0);
    return 0;
}
