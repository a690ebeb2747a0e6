// A program that arms FaultTrace and then crashes in the way its first
// argument names. The crash tests run it and inspect what the report left.
//
//   CrashProgram SCENARIO [CONFIG_FILE]

#include "faulttrace/FaultTrace.h"
#include "online/ThreadPool.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
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

// Frees the same block twice: the allocator notices and aborts inside free.
__attribute__((noinline)) void crashByDoubleFree()
{
    void* block = std::malloc(40);
    // Through a volatile pointer, so the compiler cannot see the second free coming.
    void* volatile again = block;
    std::free(block);
    std::free(again);
}

// Runs past the end of a block into the size of the allocator's top chunk,
// so the next allocation taken from the top fails the allocator's
// consistency check and aborts inside malloc, with the arena lock held.
__attribute__((noinline)) void crashByHeapOverrun()
{
    // Larger than any free chunk, below the size that malloc maps on its own:
    // both come from the top of the heap, one after the other.
    constexpr size_t size = 100 * 1000;
    char* block = static_cast<char*>(std::malloc(size));
    // Through a volatile pointer, so the compiler cannot see the overrun coming.
    char* volatile alias = block;
    std::memset(alias, 0xff, malloc_usable_size(block) + sizeof(size_t));
    void* next = std::malloc(size);
    std::printf("allocator did not notice: %p\n", next);
}

// A second thread busy inside malloc and free (sizes beyond the per-thread
// cache, so each call takes an arena lock) while the first one crashes.
std::atomic<bool> allocating{false};

void keepAllocating()
{
    for (unsigned i = 0;; ++i) {
        void* block = std::malloc(2048 + (i % 64) * 512);
        allocating = true;
        std::free(block);
    }
}

__attribute__((noinline)) void crashByHeapOverrunWhileAnotherThreadAllocates()
{
    std::thread other(keepAllocating);
    other.detach();
    while (!allocating)
        std::this_thread::yield();
    crashByHeapOverrun();
}

__attribute__((noinline)) void crashByBreakpoint()
{
    asm volatile("int3");
}

// Frames smaller than the guard page below a thread's stack, so the
// recursion meets it instead of leaping over it into the next mapping.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int overflowThreadStack(int depth)
{
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    frame[sizeof frame - 1] = static_cast<char>(depth);
    return overflowThreadStack(depth + 1) + frame[depth % sizeof frame];
}
#pragma GCC diagnostic pop

// A stack overflow on one of the HTTP pool's workers, which only has a
// signal stack because the program gives it one.
void overflowOnPoolWorker()
{
    network::ThreadPool pool("HttpThreadPool");
    pool.start();
    pool.post([] { overflowThreadStack(0); });
    std::this_thread::sleep_for(std::chrono::seconds(60));
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
    // The time zone can change while the program runs (so does the offset
    // at a daylight-saving change); a test gives the one in force at the crash.
    if (const char* zone = std::getenv("CRASH_PROGRAM_ZONE_AFTER_START")) {
        setenv("TZ", zone, 1);
        tzset();
    }

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
        crashByHeapOverrun();
    } else if (scenario == "double-free") {
        crashByDoubleFree();
    } else if (scenario == "heap-overrun") {
        crashByHeapOverrunWhileAnotherThreadAllocates();
    } else if (scenario == "trap") {
        crashByBreakpoint();
    } else if (scenario == "pool-overflow") {
        overflowOnPoolWorker();
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
