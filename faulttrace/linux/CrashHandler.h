#pragma once
// The crash path's entry: arming the fatal-signal handlers and handling one crash.

namespace FTR {

class CrashHandler
{
public:
    // Normal context: alternate signal stack for the calling thread, then the handlers.
    static void arm();
    // Normal context: gives back the previous handlers that were not the default.
    static void disarm();
};

} // namespace FTR
