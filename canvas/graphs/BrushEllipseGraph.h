#pragma once

#include "canvas/graphs/EllipseGraph.h"

class BrushEllipseGraph : public EllipseGraph {
public:
    BrushEllipseGraph();
};
