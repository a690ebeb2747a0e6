#include "widgets/SettingWindow.h"

#include "platform/GlobalShortcut.h"
#include "settings/ConfigStore.h"
#include "settings/Language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeySequenceEdit>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString kTextStyle = QStringLiteral("font-family: Microsoft YaHei;font-size: 12px;color:#000000;");
const QString kShortcutKey = QStringLiteral("BoardShortcut");
const QString kPressureKey = QStringLiteral("StylusPressure");

GlobalShortcut* boardShortcut = nullptr;

}  // namespace

SettingWindow::SettingWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingWindow"));
    resize(444, 217);
    tabWidget = new QTabWidget(this);
    tabWidget->setObjectName(QStringLiteral("tabWidget"));
    tabWidget->setGeometry(10, 10, 431, 201);
    tabUpdate = new QWidget();
    tabUpdate->setObjectName(QStringLiteral("tab_update"));
    labelVersion = new QLabel(tabUpdate);
    labelVersion->setObjectName(QStringLiteral("labelVersion"));
    labelVersion->setGeometry(140, 50, 141, 21);
    pushBtnUpdate = new QPushButton(tabUpdate);
    pushBtnUpdate->setObjectName(QStringLiteral("pushBtnUpdate"));
    pushBtnUpdate->setGeometry(140, 80, 131, 41);
    tabWidget->addTab(tabUpdate, QStringLiteral("update"));
    tabLanguage = new QWidget();
    tabLanguage->setObjectName(QStringLiteral("tab_language"));
    labelLanguage = new QLabel(tabLanguage);
    labelLanguage->setObjectName(QStringLiteral("labelLanguage"));
    labelLanguage->setGeometry(40, 50, 91, 22);
    labelLanguage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    comboBoxLang = new QComboBox(tabLanguage);
    comboBoxLang->setObjectName(QStringLiteral("comboBoxLang"));
    comboBoxLang->setGeometry(140, 50, 171, 22);
    tabWidget->addTab(tabLanguage, QStringLiteral("language"));
    setWindowTitle(QCoreApplication::translate("SettingWindow", "SettingWindow"));
    labelVersion->setText(QCoreApplication::translate("SettingWindow", "TextLabel"));
    pushBtnUpdate->setText(QCoreApplication::translate("SettingWindow", "PushButton"));
    tabWidget->setTabText(tabWidget->indexOf(tabUpdate), QCoreApplication::translate("SettingWindow", "update"));
    QMetaObject::connectSlotsByName(this);

    // Only the close button: the dialog must not stay above other windows.
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlags(Qt::WindowCloseButtonHint);

    connect(tabWidget, &QTabWidget::currentChanged, this, &SettingWindow::currentChanged);

    tabWidget->setStyleSheet(kTextStyle);
    labelVersion->setStyleSheet(kTextStyle);
    pushBtnUpdate->setStyleSheet(kTextStyle);
    labelLanguage->setStyleSheet(kTextStyle);
    comboBoxLang->setStyleSheet(kTextStyle);

    // Each language is offered under its English name and, for the others,
    // its own, so a user finds it whatever language the program shows now.
    if (languages().isEmpty())
        initLanguages();
    for (auto it = languages().cbegin(); it != languages().cend(); ++it) {
        const QLocale locale(it.value());
        QString name = it.key();
        if (locale.language() != QLocale::English && !locale.nativeLanguageName().isEmpty())
            name += QStringLiteral(" (") + locale.nativeLanguageName() + QLatin1Char(')');
        comboBoxLang->addItem(name, it.value());
    }
    const int stored = ConfigStore::instance()->getInt(QStringLiteral("Langua"));
    comboBoxLang->setCurrentIndex(stored >= 0 && stored < comboBoxLang->count() ? stored : 0);
    connect(comboBoxLang, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingWindow::OnComboxLangState);

    buildShortcutPage();
    buildPenPage();
    retranslate();
}

void SettingWindow::setBoardShortcut(GlobalShortcut* shortcut)
{
    boardShortcut = shortcut;
}

void SettingWindow::buildShortcutPage()
{
    tabShortcut = new QWidget();
    tabShortcut->setObjectName(QStringLiteral("tab_shortcut"));
    labelShortcut = new QLabel(tabShortcut);
    labelShortcut->setObjectName(QStringLiteral("labelShortcut"));
    labelShortcut->setGeometry(10, 15, 150, 22);
    labelShortcut->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    shortcutEdit = new QKeySequenceEdit(tabShortcut);
    shortcutEdit->setObjectName(QStringLiteral("shortcutEdit"));
    shortcutEdit->setGeometry(170, 15, 150, 22);
    shortcutEdit->setKeySequence(
        QKeySequence::fromString(ConfigStore::instance()->value(kShortcutKey), QKeySequence::PortableText));
    shortcutNone = new QPushButton(tabShortcut);
    shortcutNone->setObjectName(QStringLiteral("shortcutNone"));
    shortcutNone->setGeometry(330, 15, 80, 22);
    shortcutState = new QLabel(tabShortcut);
    shortcutState->setObjectName(QStringLiteral("shortcutState"));
    shortcutState->setGeometry(10, 50, 405, 110);
    shortcutState->setWordWrap(true);
    shortcutState->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    shortcutState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QWidget* widget : {static_cast<QWidget*>(labelShortcut), static_cast<QWidget*>(shortcutEdit),
                            static_cast<QWidget*>(shortcutNone), static_cast<QWidget*>(shortcutState)})
        widget->setStyleSheet(kTextStyle);
    tabWidget->addTab(tabShortcut, QStringLiteral("shortcut"));
    connect(shortcutEdit, &QKeySequenceEdit::editingFinished, this, &SettingWindow::applyShortcut);
    // The desktop answers for its keys later.
    if (boardShortcut)
        connect(boardShortcut, &GlobalShortcut::stateChanged, this, &SettingWindow::showShortcutState);
    connect(shortcutNone, &QPushButton::clicked, this, [this] {
        shortcutEdit->clear();
        applyShortcut();
    });
}

void SettingWindow::buildPenPage()
{
    tabPen = new QWidget();
    tabPen->setObjectName(QStringLiteral("tab_pen"));
    stylusPressure = new QCheckBox(tabPen);
    stylusPressure->setObjectName(QStringLiteral("stylusPressure"));
    stylusPressure->setGeometry(20, 20, 390, 22);
    stylusPressure->setStyleSheet(kTextStyle);
    stylusPressure->setChecked(ConfigStore::instance()->getInt(kPressureKey) != 0);
    tabWidget->addTab(tabPen, QStringLiteral("pen"));
    connect(stylusPressure, &QCheckBox::toggled, this,
            [](bool on) { ConfigStore::instance()->remember(kPressureKey, on ? 1 : 0); });
}

void SettingWindow::applyShortcut()
{
    // One combination: the edit keeps recording up to four.
    QKeySequence keys = shortcutEdit->keySequence();
    if (keys.count() > 1) {
        keys = QKeySequence(keys[0]);
        shortcutEdit->setKeySequence(keys);
    }
    ConfigStore::instance()->remember(kShortcutKey, keys.toString(QKeySequence::PortableText));
    if (boardShortcut)
        boardShortcut->bind(keys);
    showShortcutState();
}

void SettingWindow::showShortcutState()
{
    const QKeySequence keys = shortcutEdit->keySequence();
    const int state = boardShortcut ? int(boardShortcut->state())
                                    : int(keys.isEmpty() ? GlobalShortcut::State::Off : GlobalShortcut::State::Failed);
    shortcutState->setText(shortcutStatus(state, keys.toString(QKeySequence::NativeText)));
}

QString SettingWindow::shortcutStatus(int state, const QString& keys)
{
    const QString bind = tr("You can also bind the command \"scribbloom --board\" to a key in the desktop's "
                            "keyboard settings: GNOME Settings, Keyboard, Custom Shortcuts; KDE System Settings, "
                            "Shortcuts; sway: a bindsym line in its configuration.");
    switch (static_cast<GlobalShortcut::State>(state)) {
    case GlobalShortcut::State::Active:
        return tr("Press %1 anywhere to open or close the board.").arg(keys);
    case GlobalShortcut::State::TakenByAnother:
        return tr("Another program already uses %1: choose another key.").arg(keys) + QLatin1Char(' ') + bind;
    case GlobalShortcut::State::NotOffered:
        return tr("This desktop gives programs no keys of their own. Bind the command \"scribbloom --board\" "
                  "to a key there: GNOME Settings, Keyboard, Custom Shortcuts; KDE System Settings, Shortcuts; "
                  "sway: a bindsym line in its configuration.");
    case GlobalShortcut::State::Asked:
        return tr("The desktop was asked to bind %1; it may ask you first.").arg(keys);
    case GlobalShortcut::State::Refused:
        return tr("The desktop did not bind %1.").arg(keys) + QLatin1Char(' ') + bind;
    case GlobalShortcut::State::Failed:
        return tr("%1 cannot be used as a shortcut here.").arg(keys) + QLatin1Char(' ') + bind;
    case GlobalShortcut::State::Off:
    default:
        return tr("No key opens the board.") + QLatin1Char(' ') + bind;
    }
}

void SettingWindow::retranslate()
{
    setWindowTitle(tr("Option"));
    tabWidget->setTabText(tabWidget->indexOf(tabUpdate), tr("updater"));
    tabWidget->setTabText(tabWidget->indexOf(tabLanguage), tr("language"));
    labelVersion->setText(tr("Version:") + QStringLiteral("1.1.6.1429"));
    pushBtnUpdate->setText(tr("Update now"));
    labelLanguage->setText(tr("Language:"));
    tabWidget->setTabText(tabWidget->indexOf(tabShortcut), tr("shortcut"));
    labelShortcut->setText(tr("Open and close the board:"));
    shortcutNone->setText(tr("None"));
    tabWidget->setTabText(tabWidget->indexOf(tabPen), tr("pen"));
    stylusPressure->setText(tr("A stylus's pressure sets the width of its strokes"));
    showShortcutState();
}

void SettingWindow::currentChanged(int) {}

void SettingWindow::OnCheckBoxTrayState(int) {}

void SettingWindow::OnComboxLangState(int item)
{
    ConfigStore::instance()->remember(QStringLiteral("Langua"), item);
    applyLanguage(languageCodeAt(item));
}
