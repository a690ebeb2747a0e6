#include "widgets/SettingWindow.h"

#include "settings/ConfigStore.h"
#include "settings/Language.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString kTextStyle = QStringLiteral("font-family: Microsoft YaHei;font-size: 12px;color:#000000;");

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

    retranslate();
}

void SettingWindow::retranslate()
{
    setWindowTitle(tr("Option"));
    tabWidget->setTabText(tabWidget->indexOf(tabUpdate), tr("updater"));
    tabWidget->setTabText(tabWidget->indexOf(tabLanguage), tr("language"));
    labelVersion->setText(tr("Version:") + QStringLiteral("1.1.6.1429"));
    pushBtnUpdate->setText(tr("Update now"));
    labelLanguage->setText(tr("Language:"));
}

void SettingWindow::currentChanged(int) {}

void SettingWindow::OnCheckBoxTrayState(int) {}

void SettingWindow::OnComboxLangState(int item)
{
    ConfigStore::instance()->remember(QStringLiteral("Langua"), item);
    applyLanguage(languageCodeAt(item));
}
