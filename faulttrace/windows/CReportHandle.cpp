#include "faulttrace/windows/CReportHandle.h"

namespace FTR {

namespace {
// Constant-initialised, so the filter never meets a guarded static.
CReportHandle reportHandle;
} // namespace

CReportHandle& CReportHandle::instance()
{
    return reportHandle;
}

void CReportHandle::install(LPTOP_LEVEL_EXCEPTION_FILTER filter)
{
    const LPTOP_LEVEL_EXCEPTION_FILTER old = SetUnhandledExceptionFilter(filter);
    if (old != filter)
        previous = old;
}

void CReportHandle::restorePrevious()
{
    if (previous) {
        SetUnhandledExceptionFilter(previous);
        previous = nullptr;
    }
}

} // namespace FTR
