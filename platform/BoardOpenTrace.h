#pragma once

#include <QtGlobal>

// Timings of one board opening, printed to standard error when the
// environment variable SCRIBBLOOM_TRACE_OPEN is set (the end-to-end benchmark
// reads them). Each step is measured from the handling of the click that
// opens the board; times are also given on the monotonic clock so an outside
// observer can line them up with its own.
class BoardOpenTrace {
public:
    // The open click is being handled: starts a new trace.
    static void clicked();
    // A named step of the opening is done (the picture asked for, the board
    // built, the window shown).
    static void step(const char* name);
    // The same for a step done at `clock` (now(), read on any thread);
    // recorded on the GUI thread.
    static void stepAt(const char* name, qint64 clock);
    // The monotonic clock, in nanoseconds.
    static qint64 now();
    // Called at the end of every paint of the board; only the first after
    // the click ends the trace and prints it.
    static void painted();
};
