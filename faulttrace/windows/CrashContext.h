#pragma once
// What one crash handling knows about the fault, handed to the report
// sections: the exception pointers and the thread that raised it.

#include <windows.h>

namespace FTR {

class CModuleList;
struct CrashState;

struct CrashContext
{
    EXCEPTION_POINTERS* pointers = nullptr;
    DWORD threadId = 0;
    CrashState* state = nullptr;
    CModuleList* modules = nullptr;
};

} // namespace FTR
