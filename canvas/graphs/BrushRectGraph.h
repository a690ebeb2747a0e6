#pragma once

#include "canvas/graphs/RectGraph.h"

class BrushRectGraph : public RectGraph {
public:
    BrushRectGraph();
};
