#pragma once

#include "canvas/graphs/IGraph.h"

// Paints the snapshot back along the stroke's smooth curve, at a fixed
// width of 10 pixels.
class EraseGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
    void drawFrom(GraphActioner* item, size_t from) override;

    // The eraser's width, whatever size the item carries.
    static constexpr int kWidth = 10;
};
