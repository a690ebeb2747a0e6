#pragma once

#include <QString>

class QApplication;

// Brings the program up once the single-instance check has passed and the
// application object exists, runs it, and takes it down in a fixed order.
class AppLauncher {
public:
    // Window icon, locale codec, start-up translation, then the services
    // that must run before the crash reporter is armed.
    void init(QApplication* app);
    // Crash reporter, main window, event loop, orderly shutdown. False when
    // the usage report's thread could not be stopped in time: the caller
    // then ends the process without the libraries' exit-time teardown.
    // With `openBoard` a board opens as soon as the strip is up. `control`
    // is where later starts send their commands.
    bool run(bool openBoard, const QString& control, const QString& boardFile = QString());

private:
    QApplication* app = nullptr;
};
