#pragma once
// Installs the library's top-level exception filter and keeps the one it
// replaced, so that FaultTraceEnd can put it back. One process-wide instance.

#include <windows.h>

namespace FTR {

class CReportHandle
{
public:
    static CReportHandle& instance();

    // Installs `filter`, keeping the previous one unless it was `filter` itself.
    void install(LPTOP_LEVEL_EXCEPTION_FILTER filter);
    // Installs the kept filter again; with none kept, the library's stays.
    void restorePrevious();

private:
    LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
};

} // namespace FTR
