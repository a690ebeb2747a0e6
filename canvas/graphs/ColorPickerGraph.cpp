#include "canvas/graphs/ColorPickerGraph.h"

void ColorPickerGraph::draw(GraphActioner*)
{
}
