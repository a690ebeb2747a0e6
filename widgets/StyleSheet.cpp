// Loading style sheets from the resources.

#include "widgets/StyleSheet.h"

#include <QFile>

namespace StyleSheet {

QString load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace StyleSheet
