// Creating items with the pen's properties, and numbering badges.

#include "canvas/ItemFactory.h"

#include "canvas/GraphActioner.h"
#include "canvas/GraphManager.h"
#include "canvas/GraphType.h"

#include <QString>

int ItemFactory::nextBadge = 0;

void ItemFactory::setPenColor(int r, int g, int b, int a)
{
    red = r;
    green = g;
    blue = b;
    alpha = a;
}

GraphActioner* ItemFactory::begin(GraphManager& history, int type) const
{
    GraphActioner* item = history.beginAction(type);
    item->setProperty(QStringLiteral("size"), penWidth);
    item->setProperty(QStringLiteral("r"), red);
    item->setProperty(QStringLiteral("g"), green);
    item->setProperty(QStringLiteral("b"), blue);
    item->setProperty(QStringLiteral("a"), alpha);
    if (item->type == MarkingPen) {
        item->setProperty(QStringLiteral("number"), nextBadge++);
    }
    return item;
}
