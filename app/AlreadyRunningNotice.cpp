#include "app/AlreadyRunningNotice.h"

#include "settings/ConfigStore.h"
#include "settings/Language.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace AlreadyRunningNotice {

QString text()
{
    return QCoreApplication::translate("AlreadyRunningNotice", "Scribbloom is already running ...");
}

void show()
{
    initLanguages();
    ConfigStore::instance()->load();
    applyStoredLanguage();
    QMessageBox::information(nullptr, QStringLiteral("Scribbloom"), text(), QMessageBox::Ok, QMessageBox::NoButton);
}

} // namespace AlreadyRunningNotice
