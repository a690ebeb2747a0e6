#pragma once

#include <QString>

// Keeps the program to one running copy per user session.
class SingleInstance {
public:
    // Called once at start-up, before anything else. True when this process
    // now holds the lock called `name`; it keeps it until it ends, and the
    // system lets go of it then however the process ends (even killed), so
    // no stale lock can block the next start. False when another process
    // holds it, or when the lock could not be made at all.
    static bool acquire(const QString& name);

    // Where the running copy holding the lock `name` takes commands from
    // later starts of the same user (a local socket's address).
    static QString controlAddress(const QString& name);
};
