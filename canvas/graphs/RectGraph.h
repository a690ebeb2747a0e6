#pragma once

#include "canvas/graphs/IGraph.h"

// The rectangle spanned by the first and last points, outlined or filled.
class RectGraph : public IGraph {
public:
    explicit RectGraph(bool filled = false);
    void draw(GraphActioner* item) override;

protected:
    bool filled = false;
};
