#pragma once

// One key combination that reaches this program wherever the keyboard is,
// as the desktop allows it: taken from the X server on X11; on Wayland
// desktops only the desktop itself can hand out such keys, through its
// global-shortcuts portal where it has one.

#include <QKeySequence>
#include <QObject>
#include <QString>

class GlobalShortcut : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Off,            // no key chosen
        Active,         // the key reaches the program
        TakenByAnother, // another program holds the key
        NotOffered,     // the desktop gives programs no global keys: bind the command there
        Asked,          // the desktop was asked for the key and has not answered yet
        Refused,        // the desktop would not bind the key
        Failed,         // the key cannot be used (no keyboard mapping for it, no display)
    };

    explicit GlobalShortcut(QObject* parent = nullptr);
    ~GlobalShortcut() override;

    // Gives up the key held before and takes `keys` (its first combination);
    // an empty sequence takes none.
    State bind(const QKeySequence& keys);
    State state() const { return current; }

signals:
    // The key was pressed (once per press, never for its auto-repeat).
    void activated();
    // The state changed later than bind() returned (the desktop answered).
    void stateChanged(GlobalShortcut::State state);

public:
    // What each system implements: the key taken and given up. Made by the
    // system's own create(); it may report a later state through report().
    class Backend
    {
    public:
        virtual ~Backend() = default;
        // Gives up the key held before and takes `keys`; empty takes none.
        virtual State bind(const QKeySequence& keys) = 0;
        static Backend* create(GlobalShortcut* owner);

    protected:
        static void report(GlobalShortcut* owner, State state);
    };

private:
    Backend* backend = nullptr;
    State current = State::Off;
};
