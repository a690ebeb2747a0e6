#include "canvas/graphs/ImageGraph.h"

#include <QImage>
#include <QPainter>

void ImageGraph::draw(GraphActioner* item)
{
    if (!painter || !item || !background) {
        return;
    }
    painter->drawImage(0, 0, *background);
}
