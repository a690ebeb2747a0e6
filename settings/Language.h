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

// The code of the language at `index` in the table's order (the value stored
// under "Langua"); the first language, Chinese, for an index out of range.
QString languageCodeAt(int index);
// The table index of `code`, or -1.
int languageIndexOf(const QString& code);

// Switches the program's texts to the language of `code`: English is the
// source language and needs no file; any other loads its translation, named
// by the language part of the code ("zh_CN" -> "Scribbloom_zh"). Windows
// already open are told through Retranslatable::retranslateAll().
// Returns whether the texts are now in that language.
bool applyLanguage(const QString& code);

// The language to start in: the stored choice (`storedIndex`, when
// `stored`); with none, the system's language (a locale name such as
// "en_GB") when the table has it; otherwise Chinese.
QString startupLanguage(bool stored, int storedIndex, const QString& systemLocale);

// The start-up language above, from the settings store and the system's
// locale, applied as applyLanguage does. For start-up, once the store is loaded.
void applyStoredLanguage();
