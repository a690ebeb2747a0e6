#pragma once

class IObserver;

// Something observers can watch; a drawn item is one.
class Subject {
public:
    virtual ~Subject() = default;

    // Called when the subject must be painted again: tells every observer.
    virtual void notify() = 0;
    // Called once by the subject's creator to add an observer (not owned).
    virtual void attach(IObserver* observer) = 0;
};
