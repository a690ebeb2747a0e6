#include "canvas/graphs/BrushRectGraph.h"

BrushRectGraph::BrushRectGraph()
    : RectGraph(true)
{
}
