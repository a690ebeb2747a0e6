#include "platform/ThreadSignalStack.h"

#include <csignal>
#include <sys/mman.h>
#include <unistd.h>

// The stack is mapped with an inaccessible page below it, so a handler that
// overruns it faults at once instead of writing over other memory.
ThreadSignalStack::ThreadSignalStack()
{
    stack_t current = {};
    if (sigaltstack(nullptr, &current) != 0 || !(current.ss_flags & SS_DISABLE))
        return;
    const long page = sysconf(_SC_PAGESIZE) > 0 ? sysconf(_SC_PAGESIZE) : 4096;
    const size_t guard = static_cast<size_t>(page);
    void* mapped = mmap(nullptr, StackBytes + guard, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK,
                        -1, 0);
    if (mapped == MAP_FAILED)
        return;
    mprotect(mapped, guard, PROT_NONE);
    stack_t stack = {};
    stack.ss_sp = static_cast<char*>(mapped) + guard;
    stack.ss_size = StackBytes;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(mapped, StackBytes + guard);
        return;
    }
    memory = mapped;
    mappedBytes = StackBytes + guard;
}

ThreadSignalStack::~ThreadSignalStack()
{
    if (!memory)
        return;
    // Only our own stack is taken down, and never while a handler runs on it.
    stack_t current = {};
    if (sigaltstack(nullptr, &current) != 0 || (current.ss_flags & SS_ONSTACK))
        return;
    const char* ours = static_cast<const char*>(memory) + (mappedBytes - StackBytes);
    if (current.ss_sp == ours) {
        stack_t off = {};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
    }
    munmap(memory, mappedBytes);
}
