#pragma once

#include <QMap>
#include <QString>

// The offered languages, display name to language code.
const QMap<QString, QString>& languages();

// Fills the language table: "Chinese" -> "zh_CN", "English" -> "en_US".
void initLanguages();

// Loads "Scribbloom_<lang>" from "translations" beside the program (Qt's
// locale search, ".qm" suffix) and installs the translator whether or not a
// file was found, so a missing translation leaves the English texts. The
// translator lives until the process ends. Returns whether a file loaded.
bool loadTranslation(const QString& lang);
