#pragma once

#include "canvas/graphs/IGraph.h"

// A straight line from the first to the last point.
class LineGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
};
