#include "canvas/graphs/BrushEllipseGraph.h"

BrushEllipseGraph::BrushEllipseGraph()
    : EllipseGraph(true)
{
}
