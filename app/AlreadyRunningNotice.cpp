#include "app/AlreadyRunningNotice.h"

#include "app/settings/ConfigStore.h"
#include "app/settings/Language.h"

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
