// A program that arms FaultTrace and then crashes in the way its first
// argument names. The Windows crash tests run it under Wine and inspect what
// the report left.
//
//   CrashProgram.exe null|overflow|thread|divide|raise [CONFIG_FILE]

#include "faulttrace/FaultTrace.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

namespace {

volatile int* volatile nowhere = nullptr;
volatile int zero = 0;
volatile int hundred = 100;

__attribute__((noinline)) void crashByNullPointer()
{
    *nowhere = 42;
}

// The recursion is the point: it runs until the stack is gone. Each call
// first reads the stack some way below its frame, as the compiler's stack
// probe does for frames of a page or more (a probe call whose frame dbghelp
// cannot unwind), so the guard page is met with that much stack still free:
// Wine needs more than the one page it leaves to dispatch the exception.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int overflowStack(int depth)
{
    volatile char frame[3 * 1024];
    const auto ahead = reinterpret_cast<const volatile char*>(reinterpret_cast<uintptr_t>(frame) - 12 * 1024);
    frame[0] = *ahead;
    frame[sizeof frame - 1] = static_cast<char>(depth);
    return overflowStack(depth + 1) + frame[depth % sizeof frame];
}
#pragma GCC diagnostic pop

__attribute__((noinline)) DWORD WINAPI workerMain(void*)
{
    crashByNullPointer();
    return 0;
}

__attribute__((noinline)) int crashByDivision()
{
    // Both operands unknown: a constant numerator of 1 would let the compiler
    // turn the division into a comparison.
    return hundred / zero;
}

__attribute__((noinline)) void crashByRaise()
{
    RaiseException(0xE0464654, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: %ls null|overflow|thread|divide|raise [CONFIG_FILE]\n", argv[0]);
        return 2;
    }
    const wchar_t* scenario = argv[1];
    FaultTraceInit(L"1.1.6.1429", argc > 2 ? argv[2] : nullptr);

    if (!std::wcscmp(scenario, L"null")) {
        crashByNullPointer();
    } else if (!std::wcscmp(scenario, L"overflow")) {
        return overflowStack(0);
    } else if (!std::wcscmp(scenario, L"thread")) {
        HANDLE worker = CreateThread(nullptr, 0, workerMain, nullptr, 0, nullptr);
        WaitForSingleObject(worker, INFINITE);
    } else if (!std::wcscmp(scenario, L"divide")) {
        return crashByDivision();
    } else if (!std::wcscmp(scenario, L"raise")) {
        crashByRaise();
    }
    std::fwprintf(stderr, L"scenario %ls did not crash\n", scenario);
    return 1;
}
