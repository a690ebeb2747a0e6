#pragma once

// Reading a style sheet from the program's resources.

#include <QString>

namespace StyleSheet {

// The text of the style sheet at `path` (a resource path); empty when it
// cannot be read, so the widget keeps Qt's own look and still works.
QString load(const QString& path);

} // namespace StyleSheet
