#pragma once

// Makes the items a press begins: the pen's width and colour as they were
// at the press, and the next number for a badge.

#include <QPoint>

class GraphActioner;
class GraphManager;

class ItemFactory
{
public:
    // Pen width and colour apply to items begun afterwards only.
    void setPenWidth(int width) { penWidth = width; }
    void setPenColor(int r, int g, int b, int a);
    int width() const { return penWidth; }

    // Begins an item of `type` (negative: the history's current tool) with
    // the pen's properties; a badge takes the next number.
    GraphActioner* begin(GraphManager& history, int type = -1) const;

    // Numbers the badges of every board in the process; the strip starts it
    // again whenever a board opens or closes.
    static int nextBadge;

private:
    int penWidth = 1;
    int red = 255;
    int green = 0;
    int blue = 0;
    int alpha = 255;
};
