#pragma once

#include <QUrl>

// The program's own help: HTML pages installed in the folder "help" beside
// the program, read offline in the default browser.
class HelpPage
{
public:
    // The page in the language of the installed translation, or the English
    // page when that one is missing.
    static QUrl url();
};
