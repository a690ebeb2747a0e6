#pragma once

#include "canvas/Subject.h"

#include <QMap>
#include <QPoint>
#include <QString>

#include <vector>

class IObserver;

// One drawn item: its kind, the mouse positions in canvas-image pixels and a
// few named text properties. It carries no drawing code; its observer (the
// canvas's view) hands it to the renderer of its kind.
class GraphActioner : public Subject {
public:
    void notify() override;
    void attach(IObserver* observer) override;

    void addPoint(QPoint point);
    void setProperty(const QString& key, const QString& value);
    void setProperty(const QString& key, int value);
    // The stored text, or an empty string when the key is absent.
    QString property(const QString& key) const;
    // 0 when the key is absent or its text is not a number.
    int propertyInt(const QString& key) const;

    std::vector<IObserver*> observers;
    std::vector<QPoint> points;
    // A stylus's pressure (0 to 1) at each point; empty for strokes drawn
    // with anything else.
    std::vector<float> pressures;
    int type = 0;
    QMap<QString, QString> properties;
};
