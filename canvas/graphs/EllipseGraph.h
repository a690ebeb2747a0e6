#pragma once

#include "canvas/graphs/IGraph.h"

// The ellipse inside the rectangle spanned by the first and last points.
class EllipseGraph : public IGraph {
public:
    explicit EllipseGraph(bool filled = false);
    void draw(GraphActioner* item) override;

protected:
    bool filled = false;
};
