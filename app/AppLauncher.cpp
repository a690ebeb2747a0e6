#include "app/AppLauncher.h"

#include "app/MainWindow.h"
#include "settings/ConfigStore.h"
#include "settings/Language.h"
#include "faulttrace/FaultTrace.h"
#include "online/UiTaskDispatcher.h"
#include "online/UsageStatistics.h"
#include "platform/ModuleInstance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QTextCodec>
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

bool AppLauncher::run()
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

    QApplication::exec();

    // A report still waiting for a slow server must neither hold up the exit
    // nor be running while the libraries it uses are taken down.
    const bool reportStopped = scbl::assist::stopUsageStatistics(std::chrono::milliseconds(1500));
    network::UiTaskDispatcher::shutdown();
    FaultTraceEnd();
    return reportStopped;
}
