#include "settings/HelpPage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

QUrl HelpPage::url()
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/help/");
    // Translations name their own page, so the help follows the language the
    // program is shown in.
    const QString page = QCoreApplication::translate(
        "HelpPage", "index.html", "file name of the help page written in this translation's language");
    if (QFileInfo::exists(folder + page))
        return QUrl::fromLocalFile(folder + page);
    return QUrl::fromLocalFile(folder + QStringLiteral("index.html"));
}
