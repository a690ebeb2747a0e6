#include "settings/ConfigStore.h"

#include "platform/PrivateProfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("Config");
// Values longer than this less one character are cut, as by a fixed buffer.
constexpr int kValueBuffer = 100;

}  // namespace

ConfigStore* ConfigStore::instance()
{
    // Construction of a function-local static is serialised by the language,
    // so two threads asking first still share one store.
    static ConfigStore store;
    return &store;
}

void ConfigStore::load()
{
    path = QDir::currentPath() + QDir::separator() + QStringLiteral("Scribbloom.ini");
    values.clear();
    values.insert(QStringLiteral("Pensize"), QStringLiteral("1"));
    values.insert(QStringLiteral("ExitTray"), QStringLiteral("0"));
    values.insert(QStringLiteral("Langua"), QStringLiteral("0"));
    if (!QFileInfo::exists(path))
        return;
    for (auto it = values.begin(); it != values.end(); ++it)
        it.value() = platform::readProfileString(path, kSection, it.key(), it.value(), kValueBuffer);
}

int ConfigStore::getInt(const QString& key) const
{
    return values.value(key).toInt(nullptr, 10);
}

void ConfigStore::setInt(const QString& key, int value)
{
    values.insert(key, QString::number(value));
}
