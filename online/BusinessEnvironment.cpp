#include "online/BusinessEnvironment.h"

#include "online/BusinessCodec.h"
#include "online/BusinessKeys.h"
#include "platform/ExecutablePath.h"
#include "platform/PrivateProfile.h"
#include "platform/UserDataFolder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>
#include <QTextCodec>

namespace business_v2 {

QByteArray osNameForWindows(int major, int minor, bool native64)
{
    QByteArray name = "Unknow";
    if (major == 5 && minor == 1)
        name = "window-xp";
    else if (major == 5 && minor >= 2)
        name = "window-2003";
    else if (major == 6 && minor == 0)
        name = "window-vista";
    else if (major == 6 && minor == 1)
        name = "window-7";
    else if (major == 6 && minor == 2)
        name = "window-8";
    else if (major == 10)
        name = "window-10";
    return name + (native64 ? "_64" : "_32");
}

namespace {

// Keeps a name to one token as the Windows names are: no blanks, no "_" (which
// separates the architecture).
QByteArray nameToken(const QString& text)
{
    QByteArray token = text.trimmed().toLower().toUtf8();
    for (char& c : token) {
        if (c == ' ' || c == '\t' || c == '_')
            c = '-';
    }
    return token;
}

} // namespace

QByteArray osNameFor(const platform::SystemVersion& version)
{
    if (version.windows)
        return osNameForWindows(version.windowsMajor, version.windowsMinor, version.native64);
    QByteArray name;
    if (!version.productType.isEmpty()) {
        name = nameToken(version.productType);
        if (!version.productVersion.isEmpty())
            name += '-' + nameToken(version.productVersion);
    } else if (!version.kernelType.isEmpty()) {
        name = nameToken(version.kernelType);
        const QStringList parts = version.kernelVersion.split(QLatin1Char('.'));
        if (parts.size() >= 2) {
            // "6.1.0-18-amd64" → "6.1"
            QString minor = parts[1];
            const int cut = minor.indexOf(QLatin1Char('-'));
            if (cut >= 0)
                minor.truncate(cut);
            name += '-' + nameToken(parts[0] + QLatin1Char('.') + minor);
        } else if (!version.kernelVersion.isEmpty()) {
            name += '-' + nameToken(version.kernelVersion);
        }
    } else {
        name = "Unknow";
    }
    return name + (version.native64 ? "_64" : "_32");
}

QByteArray osName()
{
    static const QByteArray name = osNameFor(platform::currentSystemVersion());
    return name;
}

QByteArray exeNameFromPath(const QByteArray& path)
{
    const int slash = qMax(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QByteArray utf8FromSystemName(const QByteArray& name)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(name.constData(), name.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return name;
    return QString::fromLatin1(name).toUtf8();
}

QByteArray exeName()
{
    return utf8FromSystemName(exeNameFromPath(platform::executablePath()));
}

qint64 currentMillis()
{
    return QDateTime::currentMSecsSinceEpoch();
}

QString userFolder()
{
    return platform::localAppDataFolder() + QStringLiteral("/ScribbloomUser");
}

QString userSettingsFile()
{
    return userFolder() + QStringLiteral("/ScribbloomUser.ini");
}

QByteArray readChannelFrom(const QString& settingsFile)
{
    if (!QFileInfo::exists(settingsFile))
        return defaultChannel;
    const QString stored = platform::readProfileString(settingsFile, QStringLiteral("Globals"),
                                                       QStringLiteral("Spreader"),
                                                       QString::fromLatin1(defaultChannel), 260);
    if (stored.isEmpty())
        return defaultChannel;
    const QByteArray channel = aesDecryptFromBase64(stored.toUtf8(), channelKey, channelIv);
    if (channel.isEmpty())
        return defaultChannel;
    // Each decrypted byte is one Latin-1 character; a long channel is cut to
    // 12. The request's text is UTF-8, so the characters go in as UTF-8.
    return QString::fromLatin1(channel.size() > 11 ? channel.left(12) : channel).toUtf8();
}

QByteArray readChannel()
{
    return readChannelFrom(userSettingsFile());
}

} // namespace business_v2
