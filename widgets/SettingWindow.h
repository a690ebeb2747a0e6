#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

// The modal "Option" dialog: the program version and an "Update now" button
// (connected to nothing: the program has no update check), plus the slots
// through which option changes reach the settings store.
class SettingWindow : public QDialog {
    Q_OBJECT

public:
    explicit SettingWindow(QWidget* parent = nullptr);

public slots:
    void currentChanged(int index);
    void OnCheckBoxTrayState(int state);
    // Stores the chosen language index under "Langua" for this run.
    void OnComboxLangState(int item);

private:
    QTabWidget* tabWidget = nullptr;
    QWidget* tabUpdate = nullptr;
    QLabel* labelVersion = nullptr;
    QPushButton* pushBtnUpdate = nullptr;
};
