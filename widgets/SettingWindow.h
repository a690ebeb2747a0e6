#pragma once

#include "settings/Retranslatable.h"

#include <QDialog>

class GlobalShortcut;
class QCheckBox;
class QComboBox;
class QKeySequenceEdit;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

// The modal "Option" dialog: the program version and an "Update now" button
// (connected to nothing: the program has no update check), the choice of the
// language and of the key that opens and closes the board from anywhere,
// plus the slots through which option changes reach the settings store.
class SettingWindow : public QDialog, public Retranslatable {
    Q_OBJECT

public:
    explicit SettingWindow(QWidget* parent = nullptr);

    void retranslate() override;

    // The program's board key, which the shortcut page changes and reports
    // on; null where the program has none (the page then only stores it).
    static void setBoardShortcut(GlobalShortcut* shortcut);

    // What the shortcut page says of the key's state.
    static QString shortcutStatus(int state, const QString& keys);

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
    QWidget* tabShortcut = nullptr;
    QLabel* labelShortcut = nullptr;
    QKeySequenceEdit* shortcutEdit = nullptr;
    QPushButton* shortcutNone = nullptr;
    QLabel* shortcutState = nullptr;
    QWidget* tabPen = nullptr;
    QCheckBox* stylusPressure = nullptr;

    void buildShortcutPage();
    void buildPenPage();
    // Stores the edited key, takes it and says how that went.
    void applyShortcut();
    void showShortcutState();
};
