#pragma once

class GraphActioner;

// Told whenever a drawn item it watches has to be painted.
class IObserver {
public:
    virtual ~IObserver() = default;

    // Called by the item's notify(), once per replay of the item.
    virtual void update(GraphActioner* item) = 0;
};
