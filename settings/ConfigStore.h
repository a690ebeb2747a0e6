#pragma once

#include <QMap>
#include <QString>

// The process-wide settings: read once from section "Config" of
// "Scribbloom.ini" in the working directory, changed in memory afterwards and
// never written back.
class ConfigStore {
public:
    static ConfigStore* instance();

    // Resets every key to its default, then takes the file's values.
    void load();

    // The value as a base-10 int; 0 when missing, empty or not a number.
    int getInt(const QString& key) const;
    void setInt(const QString& key, int value);

    QString value(const QString& key) const { return values.value(key); }
    QString filePath() const { return path; }

    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

private:
    ConfigStore() = default;

    QMap<QString, QString> values;
    QString path;
};
