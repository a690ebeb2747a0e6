#pragma once

#include "canvas/graphs/IGraph.h"

// A highlighter stroke: four pens wide in the pen's colour, laid over the
// board like ink on paper (each pixel darkened by the colour, so dark text
// under it stays dark), and painted as one path so that it is one tone even
// where it crosses itself.
class HighlighterGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;

    static constexpr double kWidthFactor = 4.0;
    // How strongly the colour tints what lies under it.
    static constexpr int kStrength = 150;
};
