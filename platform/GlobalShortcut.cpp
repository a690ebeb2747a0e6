// The board key's front, the same on every system: the state it is in and
// the system's backend that takes the key.

#include "platform/GlobalShortcut.h"

GlobalShortcut::GlobalShortcut(QObject* parent)
    : QObject(parent)
    , backend(Backend::create(this))
{
}

GlobalShortcut::~GlobalShortcut()
{
    delete backend;
}

GlobalShortcut::State GlobalShortcut::bind(const QKeySequence& keys)
{
    current = backend->bind(keys);
    return current;
}

void GlobalShortcut::Backend::report(GlobalShortcut* owner, State state)
{
    owner->current = state;
    emit owner->stateChanged(state);
}
