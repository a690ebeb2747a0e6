#include "settings/Language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace {

QMap<QString, QString>& table()
{
    static QMap<QString, QString> map;
    return map;
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
    static QTranslator translator;
    const bool loaded = translator.load(QLocale(), QStringLiteral("Scribbloom_") + lang, QStringLiteral("."),
                                        QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                        QStringLiteral(".qm"));
    QCoreApplication::installTranslator(&translator);
    return loaded;
}
