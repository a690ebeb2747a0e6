#include "canvas/graphs/SymbolsGraph.h"

#include "canvas/GraphActioner.h"

#include <QPainter>

void SymbolsGraph::draw(GraphActioner* item)
{
    if (!painter || !item || !loaded || item->points.empty()) {
        return;
    }
    const QPoint p0 = item->points.front();
    painter->drawImage(p0.x(), p0.y(), image);
}

void SymbolsGraph::loadImage(const QString& path)
{
    if (!path.isEmpty()) {
        loaded = image.load(path);
    }
}
