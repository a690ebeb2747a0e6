// Crash-path pieces exercised in a healthy process: the module table, child
// processes with bounded waits, and how the exported functions treat the
// handlers that were there before.

#include "faulttrace/FaultTrace.h"
#include "faulttrace/linux/CModuleInfo.h"
#include "faulttrace/linux/ChildProcess.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashGuard.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/MinidumpWriter.h"
#include "faulttrace/linux/SafeIo.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <iterator>
#include <string>
#include <ucontext.h>
#include <link.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void firstHandler(int) {}

bool installedIs(int sig, void (*handler)(int))
{
    struct sigaction current = {};
    sigaction(sig, nullptr, &current);
    return !(current.sa_flags & SA_SIGINFO) && current.sa_handler == handler;
}

bool installedIsSiginfo(int sig)
{
    struct sigaction current = {};
    sigaction(sig, nullptr, &current);
    return (current.sa_flags & SA_SIGINFO) != 0;
}

// The build-id of this test program, read the loader's way.
std::string ownBuildId()
{
    std::string id;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) -> int {
            auto* out = static_cast<std::string*>(data);
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                if (ph.p_type != PT_NOTE)
                    continue;
                auto* at = reinterpret_cast<const char*>(info->dlpi_addr + ph.p_vaddr);
                const char* end = at + ph.p_memsz;
                while (at + sizeof(ElfW(Nhdr)) <= end) {
                    auto* nh = reinterpret_cast<const ElfW(Nhdr)*>(at);
                    const char* name = at + sizeof *nh;
                    const char* desc = name + ((nh->n_namesz + 3) & ~3u);
                    if (nh->n_type == NT_GNU_BUILD_ID && std::strcmp(name, "GNU") == 0) {
                        out->assign(desc, nh->n_descsz);
                        return 1;
                    }
                    at = desc + ((nh->n_descsz + 3) & ~3u);
                }
            }
            return 1; // the program itself comes first
        },
        &id);
    return id;
}

} // namespace

TEST(ModuleTable, FindsThisProgramWithItsBuildIdAndBase)
{
    auto maps = std::make_unique<FTR::CModuleList>();
    ASSERT_TRUE(maps->refresh());
    EXPECT_GT(maps->mapCount(), 5u);
    EXPECT_FALSE(maps->hasDamagedModules());
    const auto* self = maps->moduleAt(reinterpret_cast<uint64_t>(&ownBuildId));
    ASSERT_NE(self, nullptr);
    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    EXPECT_STREQ(maps->path(self->path), exe);
    const std::string id = ownBuildId();
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(self->buildId), self->buildIdSize), id);
    EXPECT_STREQ(FTR::CModuleList::baseName("/usr/lib/libc.so.6"), "libc.so.6");
    EXPECT_EQ(maps->moduleAt(0x10), nullptr);
    const auto* libc = maps->moduleAt(reinterpret_cast<uint64_t>(&getpid));
    ASSERT_NE(libc, nullptr);
    EXPECT_NE(std::strstr(maps->path(libc->path), "libc.so"), nullptr);
}

TEST(ModuleTable, ReadsSonamesAndTheReportShowsTheirVersions)
{
    const char* binDir = std::getenv("SCRIBBLOOM_BIN_DIR");
    ASSERT_NE(binDir, nullptr);
    const std::string path = std::string(binDir) + "/libVersionedLibrary.so";
    void* library = dlopen(path.c_str(), RTLD_NOW);
    ASSERT_NE(library, nullptr) << dlerror();
    auto maps = std::make_unique<FTR::CModuleList>();
    ASSERT_TRUE(maps->refresh());
    const auto* module = maps->moduleAt(reinterpret_cast<uint64_t>(dlsym(library, "versionedLibraryFunction")));
    ASSERT_NE(module, nullptr);
    EXPECT_STREQ(module->soname, "libVersionedLibrary.so.3.1");
    const auto* libc = maps->moduleAt(reinterpret_cast<uint64_t>(&getpid));
    ASSERT_NE(libc, nullptr);
    EXPECT_STREQ(libc->soname, "libc.so.6");

    ucontext_t context;
    getcontext(&context);
    FTR::CrashContext crash;
    crash.context = &context;
    crash.maps = maps.get();
    char pattern[] = "/tmp/faulttrace-modules-XXXXXX";
    const int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    FTR::CModuleInfo(crash).write(fd);
    close(fd);
    std::ifstream in(pattern);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(pattern);
    EXPECT_EQ(text.compare(0, 15, "[Module Info]\r\n"), 0);
    EXPECT_NE(text.find("/libVersionedLibrary.so (3.1)\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
    dlclose(library);
}

namespace {

// An address in the never-mapped first page: a real fault, but not a null
// store, which the undefined-behaviour sanitizer would stop on before it faults.
volatile int* volatile nowhere = reinterpret_cast<volatile int*>(16);

void escapingHandler(int, siginfo_t*, void*)
{
    FTR::CrashGuard::escape();
}

} // namespace

TEST(CrashGuard, AFaultInsideAGuardedStepAbandonsOnlyThatStep)
{
    struct sigaction action = {};
    struct sigaction previous = {};
    action.sa_sigaction = escapingHandler;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGSEGV, &action, &previous), 0);

    // Volatile: the fault is invisible to the compiler, which would drop the first store.
    volatile int reached = 0;
    const bool first = FTR::CrashGuard::run([&] {
        reached = 1;
        *nowhere = 1;
        reached = 2;
    });
    const bool second = FTR::CrashGuard::run([&] { reached = reached + 10; });
    // Guards nest: a fault in the inner step returns to the inner guard only.
    bool inner = true;
    const bool outer = FTR::CrashGuard::run([&] {
        inner = FTR::CrashGuard::run([&] { *nowhere = 2; });
        reached = reached + 100;
    });
    sigaction(SIGSEGV, &previous, nullptr);

    EXPECT_FALSE(first);
    EXPECT_TRUE(second);
    EXPECT_FALSE(inner);
    EXPECT_TRUE(outer);
    EXPECT_EQ(reached, 111);
}

TEST(SafeMemory, UnmappedAddressesReadAsFailureNotAFault)
{
    char buffer[16];
    EXPECT_FALSE(FTR::safeReadMemory(0x10, buffer, sizeof buffer));
    const char text[] = "readable";
    EXPECT_TRUE(FTR::safeReadMemory(reinterpret_cast<uint64_t>(text), buffer, sizeof text));
    EXPECT_STREQ(buffer, "readable");
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    EXPECT_EQ(FTR::safeWriteMemory(pipeFds[1], 0x1000, 4096), 0u);
    EXPECT_EQ(FTR::safeWriteMemory(pipeFds[1], reinterpret_cast<uint64_t>(text), sizeof text), sizeof text);
    close(pipeFds[0]);
    close(pipeFds[1]);
}

namespace {

struct DumpSummary
{
    uint64_t fileBytes = 0;
    bool everyStreamInside = true;
    bool written = false;
};

// A dump of this process, with its streams checked against the file's size.
DumpSummary writeDump(uint64_t sizeLimit)
{
    static auto maps = std::make_unique<FTR::CModuleList>();
    maps->refresh();
    ucontext_t context;
    getcontext(&context);
    siginfo_t info = {};
    info.si_signo = SIGSEGV;
    char path[] = "/tmp/faulttrace-dump-XXXXXX";
    const int fd = mkstemp(path);
    unlink(path);
    DumpSummary summary;
    summary.written = FTR::MinidumpWriter(FTR::crashState(), *maps, &info, &context, gettid(), nullptr, sizeLimit)
                          .write(fd);
    struct stat st = {};
    fstat(fd, &st);
    summary.fileBytes = static_cast<uint64_t>(st.st_size);
    uint32_t header[8] = {};
    pread(fd, header, sizeof header, 0);
    const uint32_t streams = header[2];
    for (uint32_t i = 0; i < streams; ++i) {
        uint32_t entry[3] = {};
        pread(fd, entry, sizeof entry, header[3] + i * sizeof entry);
        if (static_cast<uint64_t>(entry[2]) + entry[1] > summary.fileBytes)
            summary.everyStreamInside = false;
    }
    close(fd);
    return summary;
}

} // namespace

TEST(Minidump, MemoryThatWouldPassTheSizeLimitIsLeftOutAndEveryStreamStaysInside)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the dump copies this thread's live stack, the sanitizer's poisoned red zones with it";
#endif
    const DumpSummary full = writeDump(FTR::MinidumpWriter::MaxDumpBytes);
    const uint64_t limit = full.fileBytes / 2;
    const DumpSummary limited = writeDump(limit);
    EXPECT_TRUE(full.written);
    EXPECT_TRUE(full.everyStreamInside);
    EXPECT_TRUE(limited.written);
    EXPECT_TRUE(limited.everyStreamInside);
    EXPECT_LE(limited.fileBytes, limit);
    EXPECT_GT(limited.fileBytes, limit / 2);
}

TEST(ChildProcesses, MissingProgramIsReportedAndSlowOnesAreKilledAtTheBound)
{
    FTR::ChildProcess missing;
    char* missingArgv[] = {const_cast<char*>("/nonexistent/Postmortem"), nullptr};
    EXPECT_FALSE(missing.start("/nonexistent/Postmortem", missingArgv, -1, -1));

    FTR::ChildProcess quick;
    char* trueArgv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"), const_cast<char*>("exit 7"), nullptr};
    ASSERT_TRUE(quick.start("/bin/sh", trueArgv, -1, -1));
    int code = 0;
    EXPECT_TRUE(quick.wait(30000, &code));
    EXPECT_EQ(code, 7);

    FTR::ChildProcess slow;
    char* sleepArgv[] = {const_cast<char*>("/bin/sleep"), const_cast<char*>("60"), nullptr};
    ASSERT_TRUE(slow.start("/bin/sleep", sleepArgv, -1, -1));
    const pid_t pid = slow.id();
    EXPECT_FALSE(slow.wait(100, &code));
    EXPECT_EQ(kill(pid, 0), -1); // killed and reaped
}

TEST(ExportedFunctions, EndGivesBackEarlierHandlersAndKeepsOursOverDefaults)
{
    signal(SIGFPE, firstHandler);
    signal(SIGBUS, SIG_DFL);
    // Init always answers true: what it did shows in the handlers installed.
    FaultTraceInit(L"1.1.6.1429", nullptr);
    EXPECT_TRUE(installedIsSiginfo(SIGFPE));
    EXPECT_TRUE(installedIsSiginfo(SIGBUS));
    EXPECT_TRUE(FaultTraceEnd());
    EXPECT_TRUE(installedIs(SIGFPE, firstHandler));
    EXPECT_TRUE(installedIsSiginfo(SIGBUS));
    // A configuration file that is not there still arms, with the built-in settings.
    FaultTraceInit(L"x", L"/nonexistent/faulttrace.ini");
    EXPECT_TRUE(installedIsSiginfo(SIGFPE));
    EXPECT_TRUE(FaultTraceEnd());
    EXPECT_TRUE(installedIs(SIGFPE, firstHandler));
    signal(SIGFPE, SIG_DFL);
}
