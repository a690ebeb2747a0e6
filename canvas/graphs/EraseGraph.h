#pragma once

#include "canvas/graphs/IGraph.h"

// Paints the snapshot back along the stroke, at a fixed width of 10 pixels.
class EraseGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;

    // The eraser's width, whatever size the item carries.
    static constexpr int kWidth = 10;
};
