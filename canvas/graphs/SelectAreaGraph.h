#pragma once

#include "canvas/graphs/IGraph.h"

// The dash-dot marquee of an area selection.
class SelectAreaGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
};
