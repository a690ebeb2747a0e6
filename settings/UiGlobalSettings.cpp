#include "settings/UiGlobalSettings.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QResource>

UiGlobalSettings::UiGlobalSettings()
{
    d.skinFiles.insert(0, QStringLiteral("skin/coolblack.rcc"));
    d.skinFiles.insert(1, QStringLiteral("skin/classicwhite.rcc"));
}

UiGlobalSettings* UiGlobalSettings::instance()
{
    static UiGlobalSettings settings;
    return &settings;
}

void UiGlobalSettings::init(const QString&)
{
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Microsoft YaHei"));
    QApplication::setFont(font);
    setTheme(1);
}

void UiGlobalSettings::setTheme(int type)
{
    if (type == d.skinType)
        return;
    const QString dir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    if (d.registered)
        QResource::unregisterResource(dir + d.skinFiles.value(d.skinType));
    d.skinType = type;
    d.registered = QResource::registerResource(dir + d.skinFiles.value(type));
    if (!d.registered)
        qDebug() << "registerResource failed!";
    emit themeChanged(type);
}
