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
#include <QDesktopWidget>
#include <QIcon>
#include <QString>
#include <QTextCodec>
#include <QWidget>

namespace {

const char* const kStartupLanguage = "zh";

} // namespace

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

    // Always the Chinese table at start-up, whatever language the settings
    // name. A missing file leaves the translator empty and the source texts show.
    initLanguages();
    loadTranslation(QString::fromLatin1(kStartupLanguage));

    // Before the usage report, which reads the settings.
    ConfigStore::instance()->load();
    scbl::assist::startUsageStatistics();
    network::UiTaskDispatcher::initialize(platform::currentModuleInstance());
}

void AppLauncher::run()
{
    // Armed only after the services above, with the built-in settings.
    FaultTraceInit(L"1.1.6.1429", nullptr);

    MainWindow window(nullptr);

    // Right edge of the whole desktop, centred vertically.
    const QWidget* desktop = QApplication::desktop();
    window.move(desktop->width() - window.width(), (desktop->height() - window.height()) / 2);
    window.show();

    QApplication::exec();

    network::UiTaskDispatcher::shutdown();
    FaultTraceEnd();
}
