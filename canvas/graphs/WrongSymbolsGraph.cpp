#include "canvas/graphs/WrongSymbolsGraph.h"

WrongSymbolsGraph::WrongSymbolsGraph()
{
    loadImage(WrongSymbolsGraph::imagePath());
}

QString WrongSymbolsGraph::imagePath() const
{
    return QStringLiteral(":/main/resource/error.png");
}
