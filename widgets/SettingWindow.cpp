#include "widgets/SettingWindow.h"

#include "settings/ConfigStore.h"

#include <QCoreApplication>
#include <QLabel>
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
    setWindowTitle(QCoreApplication::translate("SettingWindow", "SettingWindow"));
    labelVersion->setText(QCoreApplication::translate("SettingWindow", "TextLabel"));
    pushBtnUpdate->setText(QCoreApplication::translate("SettingWindow", "PushButton"));
    tabWidget->setTabText(tabWidget->indexOf(tabUpdate), QCoreApplication::translate("SettingWindow", "update"));
    QMetaObject::connectSlotsByName(this);

    // Only the close button: the dialog must not stay above other windows.
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlags(Qt::WindowCloseButtonHint);

    connect(tabWidget, &QTabWidget::currentChanged, this, &SettingWindow::currentChanged);

    setWindowTitle(tr("Option"));
    tabWidget->setStyleSheet(kTextStyle);
    labelVersion->setStyleSheet(kTextStyle);
    pushBtnUpdate->setStyleSheet(kTextStyle);
    tabWidget->setTabText(tabWidget->indexOf(tabUpdate), tr("updater"));
    labelVersion->setText(tr("Version:") + QStringLiteral("1.1.6.1429"));
    pushBtnUpdate->setText(tr("Update now"));
}

void SettingWindow::currentChanged(int) {}

void SettingWindow::OnCheckBoxTrayState(int) {}

void SettingWindow::OnComboxLangState(int item)
{
    ConfigStore::instance()->setInt(QStringLiteral("Langua"), item);
}
