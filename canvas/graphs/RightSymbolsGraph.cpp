#include "canvas/graphs/RightSymbolsGraph.h"

RightSymbolsGraph::RightSymbolsGraph()
{
    loadImage(RightSymbolsGraph::imagePath());
}

QString RightSymbolsGraph::imagePath() const
{
    return QStringLiteral(":/main/resource/right.png");
}
