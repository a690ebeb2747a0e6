// A program that arms FaultTrace and then crashes in the way its first
// argument names. The crash tests run it and inspect what the report left.
//
//   CrashProgram SCENARIO [CONFIG_FILE]

#include "faulttrace/FaultTrace.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

volatile int* volatile nowhere = nullptr;

__attribute__((noinline)) void crashByNullPointer()
{
    *nowhere = 42;
}

// The recursion is the point: it runs until the stack is gone.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int overflowStack(int depth)
{
    // Large frames reach the end of the stack in a walkable number of frames.
    volatile char frame[64 * 1024];
    frame[0] = static_cast<char>(depth);
    frame[sizeof frame - 1] = static_cast<char>(depth);
    return overflowStack(depth + 1) + frame[depth % sizeof frame];
}
#pragma GCC diagnostic pop

__attribute__((noinline)) void workerMain()
{
    crashByNullPointer();
}

// Overwrites the allocator's bookkeeping behind a block, so the next
// allocation fails its consistency check and aborts inside malloc, with the
// arena lock held.
__attribute__((noinline)) void crashInsideMalloc()
{
    char* block = static_cast<char*>(std::malloc(24));
    // Through a volatile pointer, so the compiler cannot see the overrun coming.
    char* volatile alias = block;
    std::memset(alias, 0xff, 24 + 64);
    for (int i = 0; i < 100; ++i) {
        void* more = std::malloc(static_cast<size_t>(100 + i * 1000));
        std::free(more);
    }
    std::free(block);
    void* last = std::malloc(1 << 20);
    std::printf("allocator did not notice: %p\n", last);
    std::abort();
}

// The main thread crashes first; a second thread faults once the handling
// has visibly begun (the dump file exists), so it meets a handler at work.
void crashTwice()
{
    std::thread second([] {
        for (int i = 0; i < 2000 && access("FaultTrace.DMP", F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        crashByNullPointer();
    });
    second.detach();
    std::raise(SIGILL);
    std::this_thread::sleep_for(std::chrono::seconds(30));
}

void recordingHandler(int sig)
{
    const char text[] = "previous handler ran\n";
    const int fd = open("previous-handler.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        ssize_t ignored = write(fd, text, sizeof text - 1);
        (void)ignored;
        close(fd);
    }
    signal(sig, SIG_DFL);
    raise(sig);
}

// A library loaded and then cut off on disk: its pages vanish from memory,
// so touching them raises SIGBUS, in the program and in the handler alike.
void crashInTruncatedLibrary(const char* libraryPath)
{
    void* library = dlopen(libraryPath, RTLD_NOW);
    if (!library) {
        std::fprintf(stderr, "cannot load %s: %s\n", libraryPath, dlerror());
        std::exit(3);
    }
    auto function = reinterpret_cast<int (*)(int)>(dlsym(library, "truncatedLibraryFunction"));
    if (!function || truncate(libraryPath, 0) != 0) {
        std::fprintf(stderr, "cannot prepare %s\n", libraryPath);
        std::exit(3);
    }
    std::printf("%d\n", function(1));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SCENARIO [CONFIG_FILE]\n", argv[0]);
        return 2;
    }
    const std::string scenario = argv[1];
    std::wstring config;
    if (argc > 2) {
        const std::string narrow = argv[2];
        config.assign(narrow.begin(), narrow.end());
    }
    if (scenario == "previous-then-end")
        signal(SIGSEGV, recordingHandler);

    // The version the program reports, unless a test gives another.
    std::wstring version = L"1.1.6.1429";
    if (const char* given = std::getenv("CRASH_PROGRAM_VERSION"))
        version.assign(given, given + std::strlen(given));
    FaultTraceInit(version.c_str(), argc > 2 ? config.c_str() : nullptr);

    if (scenario == "null") {
        crashByNullPointer();
    } else if (scenario == "abort") {
        std::abort();
    } else if (scenario == "overflow") {
        return overflowStack(0);
    } else if (scenario == "thread") {
        std::thread worker(workerMain);
        worker.join();
    } else if (scenario == "malloc") {
        crashInsideMalloc();
    } else if (scenario == "twice") {
        crashTwice();
    } else if (scenario == "end-then-null" || scenario == "previous-then-end") {
        FaultTraceEnd();
        crashByNullPointer();
    } else if (scenario == "truncated" && argc > 3) {
        crashInTruncatedLibrary(argv[3]);
    } else if (scenario == "none") {
        FaultTraceEnd();
        return 0;
    }
    std::fprintf(stderr, "scenario %s did not crash\n", scenario.c_str());
    return 1;
}
