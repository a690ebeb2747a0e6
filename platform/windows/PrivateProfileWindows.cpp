// Ini files through the system's own private-profile calls. Writes go to a
// copy beside the file that then replaces it, so a crash mid-write leaves the
// old file whole.

#include "platform/PrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

namespace {

// The profile calls take a relative name from the Windows folder: the
// program's names are relative to the working directory.
std::wstring nativePath(const QString& file)
{
    return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()).toStdWString();
}

std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

// What the profile call reads into a buffer of `chars` characters; absent
// or (with a key) valueless entries give `fallback`.
QString readRaw(const QString& file, const QString& section, const QString& key, const QString& fallback, DWORD chars)
{
    std::vector<wchar_t> buffer(chars + 1u, L'\0');
    const std::wstring path = nativePath(file);
    const std::wstring defaultValue = wide(fallback);
    const DWORD length = GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), defaultValue.c_str(),
                                                  buffer.data(), chars, path.c_str());
    return QString::fromWCharArray(buffer.data(), static_cast<int>(qMin<DWORD>(length, chars)));
}

bool hasLineBreakOrNul(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.unicode() == 0)
            return true;
    }
    return false;
}

} // namespace

int readProfileInt(const QString& file, const QString& section, const QString& key, int defaultValue)
{
    // An empty value reads as absent; GetPrivateProfileIntW would give 0.
    const QString text = readRaw(file, section, key, QString(), 64).trimmed();
    if (text.isEmpty())
        return defaultValue;
    return static_cast<int>(GetPrivateProfileIntW(wide(section).c_str(), wide(key).c_str(), defaultValue,
                                                  nativePath(file).c_str()));
}

QString readProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferChars)
{
    if (bufferChars < 1)
        return QString();
    // The call itself cuts the value to bufferChars - 1 characters.
    const QString value = readRaw(file, section, key, defaultValue, static_cast<DWORD>(bufferChars));
    return value.left(bufferChars - 1);
}

bool writeProfileString(const QString& file, const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty() || hasLineBreakOrNul(sectionName) || hasLineBreakOrNul(keyName)
        || hasLineBreakOrNul(value) || sectionName.contains(QLatin1Char(']')) || keyName.contains(QLatin1Char('='))
        || keyName.startsWith(QLatin1Char('[')))
        return false;

    const QFileInfo target(file);
    const QString finalPath = target.absoluteFilePath();
    // The copy lives beside the file, on the same volume, so the move that
    // replaces the file is a rename. A name of its own per process and call;
    // a leftover of a crashed write is simply skipped.
    static int serial = 0;
    QString copyPath;
    QFile out;
    for (int attempt = 0; attempt < 100 && !out.isOpen(); ++attempt) {
        copyPath = finalPath + QStringLiteral(".new-%1-%2").arg(GetCurrentProcessId()).arg(++serial);
        out.setFileName(copyPath);
        out.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    if (!out.isOpen())
        return false;
    bool copied = false;
    if (target.exists()) {
        QFile original(finalPath);
        if (original.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = original.readAll();
            copied = original.error() == QFile::NoError && out.write(bytes) == bytes.size();
        }
    } else {
        // A new file starts with the UTF-16 byte-order mark, which makes the
        // profile calls keep every character; without it they would write in
        // the ANSI code page and lose what it cannot hold.
        copied = out.write("\xff\xfe", 2) == 2;
    }
    copied = copied && out.flush();
    out.close();
    if (!copied) {
        QFile::remove(copyPath);
        return false;
    }
    const std::wstring nativeCopy = QDir::toNativeSeparators(copyPath).toStdWString();
    if (!WritePrivateProfileStringW(wide(sectionName).c_str(), wide(keyName).c_str(), wide(value).c_str(),
                                    nativeCopy.c_str())) {
        qWarning("PrivateProfile: writing %s failed (error %lu)", qPrintable(copyPath), GetLastError());
        QFile::remove(copyPath);
        return false;
    }
    // The profile calls cache files; this flushes the copy before it moves.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, nativeCopy.c_str());
    if (!MoveFileExW(nativeCopy.c_str(), nativePath(finalPath).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        qWarning("PrivateProfile: replacing %s failed (error %lu)", qPrintable(finalPath), GetLastError());
        QFile::remove(copyPath);
        return false;
    }
    return true;
}

}  // namespace platform
