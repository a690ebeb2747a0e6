// Room on a thread's own stack for the crash reporter after a stack overflow.

#include "platform/ThreadSignalStack.h"

#include <windows.h>

// Windows runs the unhandled-exception filter on the overflowed stack
// itself; what the filter can use there is the guarantee the thread asked
// for, kept back below the guard page.
ThreadSignalStack::ThreadSignalStack()
{
    ULONG current = 0;
    if (!SetThreadStackGuarantee(&current) || current >= StackBytes)
        return;
    ULONG wanted = static_cast<ULONG>(StackBytes);
    if (!SetThreadStackGuarantee(&wanted))
        return;
    // No memory of its own: the marker says the guarantee was raised here.
    memory = this;
    mappedBytes = StackBytes;
}

// A guarantee cannot be lowered again; it ends with the thread.
ThreadSignalStack::~ThreadSignalStack() = default;
