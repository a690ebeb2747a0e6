#pragma once

#include "canvas/graphs/IGraph.h"

#include <QFont>

// Committed text, always red, with its baseline starting at the first point.
class TextGraph : public IGraph {
public:
    // `scale` is how many item pixels a logical pixel of the screen covers:
    // the text then comes out as large as it was typed.
    explicit TextGraph(double scale = 1.0);

    void draw(GraphActioner* item) override;

    // The item font at this renderer's scale.
    QFont font() const;

private:
    double scale = 1.0;
};
