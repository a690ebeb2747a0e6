#pragma once

#include <QString>

// Reading and writing "private profile" ini files the way the Windows profile
// calls do, so settings files written by either build read the same:
//  - section and key names match case-insensitively, blanks around them are ignored;
//  - blanks around a value are dropped, and one pair of matching quotes around it too;
//  - the first matching section and, within it, the first matching key win;
//  - a line without "=" names a key without a value, which reads as absent;
//  - an absent file, section or key gives the caller's default.
// A relative file name is taken from the current working directory.
namespace platform {

// The value as an integer: leading blanks, an optional sign and the leading
// decimal digits count ("12px" is 12, "abc" is 0); an absent or empty value
// gives defaultValue.
int readProfileInt(const QString& file, const QString& section, const QString& key, int defaultValue);

// The value, or defaultValue when absent, cut to bufferChars - 1 characters as a
// caller's buffer of bufferChars characters would hold it (empty for bufferChars < 1).
QString readProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferChars);

// Sets section/key to value, creating the file, section or key as needed. Every
// other line (sections, keys, comments, blank lines) is kept as it was, and the
// file is replaced atomically, so a crash mid-write leaves the old file whole.
// Returns false, changing nothing, when the file cannot be read or written or
// when a name or value would break the line structure (line breaks, NUL, "=" in
// a key, "]" in a section name, an empty name).
bool writeProfileString(const QString& file, const QString& section, const QString& key, const QString& value);

}  // namespace platform
