#pragma once

#include "canvas/graphs/SymbolsGraph.h"

// The cross, 44 x 44 pixels.
class WrongSymbolsGraph : public SymbolsGraph {
public:
    WrongSymbolsGraph();
    QString imagePath() const override;
};
