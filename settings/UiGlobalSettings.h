#pragma once

#include <QMap>
#include <QObject>
#include <QString>

class QWidget;

// The theme service: registers the compiled skin resource file found in
// "skin" beside the program, sets the application font, and knows the
// product name and the main window.
class UiGlobalSettings : public QObject {
    Q_OBJECT

public:
    static UiGlobalSettings* instance();

    // Sets the application font family and the classic white skin.
    // The argument names a settings file this service does not read.
    void init(const QString& iniName);
    // Registers the skin of type (0 cool black, 1 classic white) in place of
    // the current one; asking for the current type again does nothing.
    void setTheme(int type);
    int theme() const { return d.skinType; }
    QString appName() const { return QStringLiteral("Scribbloom"); }

    QWidget* mainWindow = nullptr;  // not owned

signals:
    void themeChanged(int type);

private:
    UiGlobalSettings();

    struct Private {
        int skinType = -1;
        bool registered = false;
        QMap<int, QString> skinFiles;
    } d;
};
