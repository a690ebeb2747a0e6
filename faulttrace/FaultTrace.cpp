#include "FaultTrace.h"

bool FaultTraceInit(const wchar_t*, const wchar_t*)
{
    return true;
}

bool FaultTraceEnd()
{
    return true;
}
