#pragma once

class QApplication;

// Brings the program up once the single-instance check has passed and the
// application object exists, runs it, and takes it down in a fixed order.
class AppLauncher {
public:
    // Window icon, locale codec, start-up translation, then the services
    // that must run before the crash reporter is armed.
    void init(QApplication* app);
    // Crash reporter, main window, event loop, orderly shutdown.
    void run();

private:
    QApplication* app = nullptr;
};
