#include "app/AppLauncher.h"

#include "app/BoardRemote.h"
#include "app/MainWindow.h"
#include "panel/PaintControlScene.h"
#include "settings/ConfigStore.h"
#include "settings/Language.h"
#include "faulttrace/FaultTrace.h"
#include "online/UiTaskDispatcher.h"
#include "online/UsageStatistics.h"
#include "platform/GlobalShortcut.h"
#include "platform/ModuleInstance.h"
#include "widgets/SettingWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QTextCodec>
#include <QTimer>
#include <QWidget>

#include <chrono>

void AppLauncher::init(QApplication* app)
{
    this->app = app;
    QApplication::setWindowIcon(QIcon(":/main/resource/app.ico"));
#ifdef Q_OS_WIN
    // Windows takes file names as UTF-16, so there this codec only reads
    // 8-bit text. Elsewhere Qt also encodes file names with the locale codec,
    // and GBK would misname every file with a non-ASCII name.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("GBK"));
#endif

    // The language the user chose last time (Chinese when none was stored),
    // so the settings come first. A missing file leaves the source texts.
    // Before the usage report, which reads the settings.
    initLanguages();
    ConfigStore::instance()->load();
    applyStoredLanguage();
    scbl::assist::startUsageStatistics();
    network::UiTaskDispatcher::initialize(platform::currentModuleInstance());
}

bool AppLauncher::run(bool openBoard, const QString& control, const QString& boardFile)
{
    // Armed only after the services above, with the built-in settings.
    FaultTraceInit(L"1.1.6.1429", nullptr);

    MainWindow window(nullptr);

    // Right edge of the primary screen, centred vertically: with one screen
    // that is the desktop's right edge; with more it stays on the main one.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window.move(area.x() + area.width() - window.width(), area.y() + (area.height() - window.height()) / 2);
    }
    window.show();

    // "scribbloom --board" from a later start switches the board as the
    // strip's switch does; "--close-board" only ever closes it.
    BoardRemote remote;
    PaintControlScene* strip = window.panel();
    QObject::connect(&remote, &BoardRemote::switchBoardAsked, strip, &PaintControlScene::setOpenBoard);
    QObject::connect(&remote, &BoardRemote::closeBoardAsked, strip, [strip] {
        if (strip->board())
            strip->setOpenBoard();
    });
    QObject::connect(&remote, &BoardRemote::openFileAsked, strip, &PaintControlScene::openBoardFile);
    remote.listen(control);

    // The key that does the same from anywhere. One that another program
    // holds is said in the log here and in the Options dialog.
    GlobalShortcut boardKey;
    QObject::connect(&boardKey, &GlobalShortcut::activated, strip, &PaintControlScene::setOpenBoard);
    const QString keys = ConfigStore::instance()->value(QStringLiteral("BoardShortcut"));
    if (boardKey.bind(QKeySequence::fromString(keys, QKeySequence::PortableText))
        == GlobalShortcut::State::TakenByAnother)
        qWarning("The board key %s is taken by another program; choose another in Options.", qPrintable(keys));
    SettingWindow::setBoardShortcut(&boardKey);
    // A board the last run left behind (a crash, a kill, a power loss) is
    // offered back first; a board asked for on the command line follows.
    QTimer::singleShot(0, strip, [strip, openBoard, boardFile] {
        if (strip->offerRestore())
            return;
        if (!boardFile.isEmpty())
            strip->openBoardFile(boardFile);
        else if (openBoard)
            strip->setOpenBoard();
    });

    QApplication::exec();
    SettingWindow::setBoardShortcut(nullptr);
    // A normal exit: the board is thrown away, as designed, with its journal.
    strip->endJournal();

    // A report still waiting for a slow server must neither hold up the exit
    // nor be running while the libraries it uses are taken down.
    const bool reportStopped = scbl::assist::stopUsageStatistics(std::chrono::milliseconds(1500));
    network::UiTaskDispatcher::shutdown();
    FaultTraceEnd();
    return reportStopped;
}
