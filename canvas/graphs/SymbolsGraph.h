#pragma once

#include "canvas/graphs/IGraph.h"

#include <QImage>
#include <QString>

// A fixed picture stamped with its top-left corner at the first point.
class SymbolsGraph : public IGraph {
public:
    void draw(GraphActioner* item) override;
    // The resource the picture is loaded from.
    virtual QString imagePath() const = 0;

protected:
    // Subclasses call this from their constructor with their own path.
    void loadImage(const QString& path);

    QImage image;
    bool loaded = false;
};
