#pragma once

#include "canvas/graphs/IGraph.h"

// The colour picker leaves nothing on the board.
class ColorPickerGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
};
