#pragma once

#include <QMap>
#include <QSet>
#include <QString>

// The process-wide settings: read once from section "Config" of
// "Scribbloom.ini" in the working directory, then from the same section of the
// per-user file under the user's configuration folder, whose values win.
// Changes stay in memory, except those the program remembers for the next
// start, which go to the per-user file; the working directory's file is never
// written.
class ConfigStore {
public:
    static ConfigStore* instance();

    // Resets every key to its default, then takes the files' values.
    void load();

    // The value as a base-10 int; 0 when missing, empty or not a number.
    int getInt(const QString& key) const;
    void setInt(const QString& key, int value);
    // setInt, and writes the value to the per-user file for the next start.
    // False when the file could not be written (the value still holds for this run).
    bool remember(const QString& key, int value);
    // The same for a text value.
    bool remember(const QString& key, const QString& value);

    QString value(const QString& key) const { return values.value(key); }
    // Whether a file (or a remember call) gave the key its value, rather than the default.
    bool isStored(const QString& key) const { return stored.contains(key); }
    QString filePath() const { return path; }
    // "Scribbloom/Scribbloom.ini" under the user's configuration folder.
    static QString userFilePath();

    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

private:
    ConfigStore() = default;

    QMap<QString, QString> values;
    QSet<QString> stored;
    QString path;
};
