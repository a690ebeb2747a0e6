#pragma once

#include "canvas/graphs/IGraph.h"

// The background item: the whole snapshot, painted first on every replay.
class ImageGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
};
