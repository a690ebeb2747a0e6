#pragma once

#include "canvas/graphs/IGraph.h"

// A freehand stroke: one line per pair of consecutive points.
class PenGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
};
