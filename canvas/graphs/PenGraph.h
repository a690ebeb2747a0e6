#pragma once

#include "canvas/graphs/IGraph.h"

// A freehand stroke: the smooth curve through its points, one piece at a
// time, each as wide as the stylus pressed where it has one.
class PenGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
    void drawFrom(GraphActioner* item, size_t from) override;
};
