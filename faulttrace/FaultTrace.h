#pragma once
// The crash-report library's exported interface.

#if defined(_WIN32)
#  if defined(FAULTTRACE_BUILDING)
#    define FAULTTRACE_API __declspec(dllexport)
#  else
#    define FAULTTRACE_API __declspec(dllimport)
#  endif
#else
#  define FAULTTRACE_API __attribute__((visibility("default")))
#endif

#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

// Arms crash reporting for this process. `version` is the client version
// written into the report; `configFile` may be null for the built-in settings.
FAULTTRACE_API bool FaultTraceInit(const wchar_t* version, const wchar_t* configFile);

// Disarms crash reporting, giving the previous handlers back.
FAULTTRACE_API bool FaultTraceEnd();

#ifdef __cplusplus
}
#endif
