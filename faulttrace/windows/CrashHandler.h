#pragma once
// The crash path's entry: installing the top-level exception filter and
// handling one crash.

namespace FTR {

class CrashHandler
{
public:
    // Normal context: starts the handler thread once, then installs the filter.
    static void arm();
    // Normal context: puts back the filter that was there before, if there was one.
    static void disarm();
};

} // namespace FTR
