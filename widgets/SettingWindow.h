#pragma once

#include "settings/Retranslatable.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

// The modal "Option" dialog: the program version and an "Update now" button
// (connected to nothing: the program has no update check), the choice of the
// language, plus the slots through which option changes reach the settings store.
class SettingWindow : public QDialog, public Retranslatable {
    Q_OBJECT

public:
    explicit SettingWindow(QWidget* parent = nullptr);

    void retranslate() override;

public slots:
    void currentChanged(int index);
    void OnCheckBoxTrayState(int state);
    // Stores the chosen language index under "Langua", remembers it for the
    // next start and switches every open window to that language at once.
    void OnComboxLangState(int item);

private:
    QTabWidget* tabWidget = nullptr;
    QWidget* tabUpdate = nullptr;
    QLabel* labelVersion = nullptr;
    QPushButton* pushBtnUpdate = nullptr;
    QWidget* tabLanguage = nullptr;
    QLabel* labelLanguage = nullptr;
    QComboBox* comboBoxLang = nullptr;
};
