#include "settings/Language.h"

#include "settings/ConfigStore.h"
#include "settings/Retranslatable.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace {

QMap<QString, QString>& table()
{
    static QMap<QString, QString> map;
    return map;
}

QTranslator& translator()
{
    static QTranslator instance;
    return instance;
}

}  // namespace

const QMap<QString, QString>& languages()
{
    return table();
}

void initLanguages()
{
    table().clear();
    table().insert(QStringLiteral("Chinese"), QStringLiteral("zh_CN"));
    table().insert(QStringLiteral("English"), QStringLiteral("en_US"));
}

bool loadTranslation(const QString& lang)
{
    QTranslator& tables = translator();
    const bool loaded = tables.load(QLocale(), QStringLiteral("Scribbloom_") + lang, QStringLiteral("."),
                                    QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                    QStringLiteral(".qm"));
    QCoreApplication::installTranslator(&tables);
    return loaded;
}

QString languageCodeAt(int index)
{
    const QList<QString> codes = languages().values();
    if (codes.isEmpty())
        return QStringLiteral("zh_CN");
    return index >= 0 && index < codes.size() ? codes.at(index) : codes.first();
}

int languageIndexOf(const QString& code)
{
    return languages().values().indexOf(code);
}

bool applyLanguage(const QString& code)
{
    bool done = true;
    if (QLocale(code).language() == QLocale::English)
        QCoreApplication::removeTranslator(&translator());
    else
        done = loadTranslation(code.section(QLatin1Char('_'), 0, 0));
    Retranslatable::retranslateAll();
    return done;
}

QString startupLanguage(bool stored, int storedIndex, const QString& systemLocale)
{
    if (stored)
        return languageCodeAt(storedIndex);
    // By language, whatever the country: en_GB is English, zh_TW Chinese.
    const QLocale::Language wanted = QLocale(systemLocale).language();
    for (const QString& code : languages().values()) {
        if (wanted != QLocale::C && QLocale(code).language() == wanted)
            return code;
    }
    return QStringLiteral("zh_CN");
}

void applyStoredLanguage()
{
    if (languages().isEmpty())
        initLanguages();
    const ConfigStore* store = ConfigStore::instance();
    const QString key = QStringLiteral("Langua");
    applyLanguage(startupLanguage(store->isStored(key), store->getInt(key), QLocale::system().name()));
}
