#include "canvas/GraphActioner.h"

#include "canvas/IObserver.h"

void GraphActioner::notify()
{
    for (IObserver* observer : observers) {
        observer->update(this);
    }
}

void GraphActioner::attach(IObserver* observer)
{
    observers.push_back(observer);
}

void GraphActioner::addPoint(QPoint point)
{
    points.push_back(point);
}

void GraphActioner::setProperty(const QString& key, const QString& value)
{
    properties.insert(key, value);
}

void GraphActioner::setProperty(const QString& key, int value)
{
    properties.insert(key, QString::number(value, 10));
}

QString GraphActioner::property(const QString& key) const
{
    return properties.value(key);
}

int GraphActioner::propertyInt(const QString& key) const
{
    return property(key).toInt(nullptr, 10);
}
