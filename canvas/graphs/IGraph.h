#pragma once

#include <QBrush>
#include <QColor>
#include <QRect>

class GraphActioner;
class QFont;
class QImage;
class QPainter;

// A stateless renderer for one kind of drawn item. The canvas's view makes
// one per kind and shares it between all items of that kind.
class IGraph {
public:
    virtual ~IGraph() = default;

    // Called by the view whenever its painter is (re)started; neither is owned.
    virtual void setPainter(QPainter* painter, const QImage* background);
    // Called on every replay of an item of this renderer's kind.
    virtual void draw(GraphActioner* item) = 0;
    // Paints only what the points from `from` on add to a stroke that grew
    // at its end, to the pixels a whole draw() gives them. By default the
    // segments from that point on, drawn as an item of their own.
    virtual void drawFrom(GraphActioner* item, size_t from);

    // The font of badges and text: SimSun 13 bold, asked for by its Chinese
    // family name as the font tables list it. The text editor types in it too.
    static QFont itemFont();
    // The box with `first` and `last` at opposite corners, whichever way
    // round they lie: its width and height are the distances between them.
    static QRect spanBetween(const QPoint& first, const QPoint& last);
    // How wide the item pen of `item` paints: its "size", where 0 and 1 are
    // both Qt's one-pixel pen (and a negative size is refused by the pen).
    static double itemPenWidth(const GraphActioner& item);

protected:
    // The item's colour from its "r", "g", "b", "a" properties (0 when absent).
    static QColor itemColor(const GraphActioner* item);
    // Sets the pen every shape renderer builds from the item: "size" wide,
    // the item's colour, round caps and joins, antialiased.
    void applyItemPen(const GraphActioner* item);
    static QBrush itemBrush(const GraphActioner* item);
    // The box from the item's first to its last point, normalised so a shape
    // is spanned the same whichever way the mouse was dragged: Qt's outline
    // of a box with negative extent differs from the normalised one.
    static QRect dragSpan(const GraphActioner* item);

    QPainter* painter = nullptr;
    const QImage* background = nullptr;
};
