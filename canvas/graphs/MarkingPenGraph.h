#pragma once

#include "canvas/graphs/IGraph.h"

// A numbered badge: a 20 x 20 disc at the first point with its number in white.
class MarkingPenGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
};
