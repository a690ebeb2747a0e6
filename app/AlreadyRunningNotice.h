#pragma once

#include <QString>

// The notice a second start shows before it ends: it runs before any window
// of the program exists, so it brings up the stored language itself.
namespace AlreadyRunningNotice {

// The notice's text in the current language.
QString text();

// Loads the settings, switches to the stored language and shows the notice
// (title "Scribbloom", one Ok button) until the user answers it.
void show();

} // namespace AlreadyRunningNotice
