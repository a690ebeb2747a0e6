#pragma once

#include "canvas/graphs/SymbolsGraph.h"

// The tick, 59 x 45 pixels.
class RightSymbolsGraph : public SymbolsGraph {
public:
    RightSymbolsGraph();
    QString imagePath() const override;
};
