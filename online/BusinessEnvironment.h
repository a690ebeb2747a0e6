#pragma once

#include "platform/SystemVersion.h"

#include <QByteArray>
#include <QString>

// What a request says about the product and the machine it runs on.
namespace business_v2 {

inline constexpr char productId[] = "vexo";
inline constexpr char productVersion[] = "1.1.6.1429";
inline constexpr char platformName[] = "pc";
inline constexpr char defaultChannel[] = "tiwa";

// Windows names by reported major.minor, "_64" or "_32" by the native
// processor: 6.1 on x64 is "window-7_64"; unlisted versions are "Unknow".
QByteArray osNameForWindows(int major, int minor, bool native64);
// Any system: Windows by the table above, others by distribution id and
// version ("debian-12_64"), or kernel and its major.minor ("linux-6.1_64")
// when no distribution is named.
QByteArray osNameFor(const platform::SystemVersion& version);
// The running system's name, read once per process.
QByteArray osName();

// The file name part of an executable path (after the last separator).
QByteArray exeNameFromPath(const QByteArray& path);
// A name in the system's encoding as UTF-8: kept when it is UTF-8 already,
// otherwise its bytes taken as Latin-1 characters.
QByteArray utf8FromSystemName(const QByteArray& name);
// The running executable's file name, as UTF-8.
QByteArray exeName();

// Milliseconds since 1970-01-01 UTC.
qint64 currentMillis();

// The per-user folder ("ScribbloomUser" in the local application-data folder)
// and the settings file in it.
QString userFolder();
QString userSettingsFile();

// The distribution channel: "Spreader" in "Globals" of the settings file,
// decrypted with the channel key, its bytes taken as Latin-1 characters, at
// most 12 of them, as UTF-8; "tiwa" when the file, the value or its
// decryption is missing.
QByteArray readChannelFrom(const QString& settingsFile);
QByteArray readChannel();

} // namespace business_v2
