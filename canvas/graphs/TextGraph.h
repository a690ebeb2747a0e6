#pragma once

#include "canvas/graphs/IGraph.h"

// Committed text, always red, with its baseline starting at the first point.
class TextGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
};
