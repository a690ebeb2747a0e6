#include "settings/ConfigStore.h"

#include "platform/PrivateProfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
    stored.clear();
    values.insert(QStringLiteral("Pensize"), QStringLiteral("1"));
    values.insert(QStringLiteral("ExitTray"), QStringLiteral("0"));
    values.insert(QStringLiteral("Langua"), QStringLiteral("0"));
    // The key that opens and closes the board from anywhere (portable text;
    // empty for none).
    values.insert(QStringLiteral("BoardShortcut"), QStringLiteral("Ctrl+Alt+D"));
    // Whether a stylus's pressure sets the width of its strokes.
    values.insert(QStringLiteral("StylusPressure"), QStringLiteral("1"));
    for (const QString& file : {path, userFilePath()}) {
        if (!QFileInfo::exists(file))
            continue;
        // A default no file can hold tells a missing key from a stored one.
        const QString missing = QStringLiteral("\x01");
        for (auto it = values.begin(); it != values.end(); ++it) {
            const QString read = platform::readProfileString(file, kSection, it.key(), missing, kValueBuffer);
            if (read != missing) {
                it.value() = read;
                stored.insert(it.key());
            }
        }
    }
}

QString ConfigStore::userFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Scribbloom/Scribbloom.ini");
}

bool ConfigStore::remember(const QString& key, int value)
{
    return remember(key, QString::number(value));
}

bool ConfigStore::remember(const QString& key, const QString& value)
{
    values.insert(key, value);
    stored.insert(key);
    const QString file = userFilePath();
    return QDir().mkpath(QFileInfo(file).absolutePath())
        && platform::writeProfileString(file, kSection, key, value);
}

int ConfigStore::getInt(const QString& key) const
{
    return values.value(key).toInt(nullptr, 10);
}

void ConfigStore::setInt(const QString& key, int value)
{
    values.insert(key, QString::number(value));
}
