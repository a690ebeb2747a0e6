// Costs of the crash-time steps, measured in a healthy process from a
// context captured with getcontext.

#include "faulttrace/CGlobalSet.h"
#include "faulttrace/helper/CStackWalker.h"
#include "faulttrace/linux/CCpuInfo.h"
#include "faulttrace/linux/CModuleInfo.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/linux/CStackInfo.h"
#include "faulttrace/linux/CrashContext.h"
#include "faulttrace/linux/CrashPreparation.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/MinidumpWriter.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <memory>
#include <sstream>
#include <ucontext.h>
#include <unistd.h>

namespace {

FTR::CModuleList& moduleList()
{
    static auto list = std::make_unique<FTR::CModuleList>();
    return *list;
}

int scratchFile()
{
    char pattern[] = "/tmp/faulttrace-bench-XXXXXX";
    const int fd = mkstemp(pattern);
    unlink(pattern);
    return fd;
}

void BM_ConfigurationParse(benchmark::State& state)
{
    const std::string text = "[ServInfo]\nServAddr = 10.0.0.5\nServPort = 21\nServPath = in\nFtpUser = u\n"
                             "FtpPass = p\n[DumpInfo]\nCreateDmp = TRUE\nDumpSys = TRUE\nDumpCpu = TRUE\n"
                             "DumpSta = TRUE\nDumpMod = TRUE\n[SysInfo]\nCheckFile = /usr/lib/libz.so.1\n";
    for (auto _ : state) {
        std::istringstream in(text);
        FTR::CGlobalSet settings;
        settings.loadFrom(in);
        settings.readLoadedSettings();
        benchmark::DoNotOptimize(settings.serverPort);
    }
}
BENCHMARK(BM_ConfigurationParse);

void BM_ModuleListRefresh(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(moduleList().refresh());
    state.counters["modules"] = static_cast<double>(moduleList().moduleCount());
}
BENCHMARK(BM_ModuleListRefresh)->Unit(benchmark::kMicrosecond);

void BM_MinidumpWrite(benchmark::State& state)
{
    FTR::CrashPreparation::prepare(FTR::CGlobalSet::instance());
    ucontext_t context;
    getcontext(&context);
    siginfo_t info = {};
    info.si_signo = SIGSEGV;
    moduleList().refresh();
    const int fd = scratchFile();
    for (auto _ : state) {
        ftruncate(fd, 0);
        lseek(fd, 0, SEEK_SET);
        FTR::MinidumpWriter(FTR::crashState(), moduleList(), &info, &context, gettid()).write(fd);
    }
    state.counters["bytes"] = static_cast<double>(lseek(fd, 0, SEEK_END));
    close(fd);
}
BENCHMARK(BM_MinidumpWrite)->Unit(benchmark::kMillisecond);

void BM_ReportRegistersStackModules(benchmark::State& state)
{
    FTR::CrashPreparation::prepare(FTR::CGlobalSet::instance());
    ucontext_t context;
    getcontext(&context);
    moduleList().refresh();
    FTR::CrashContext crash;
    crash.context = &context;
    crash.state = &FTR::crashState();
    crash.maps = &moduleList();
    const int fd = scratchFile();
    for (auto _ : state) {
        ftruncate(fd, 0);
        lseek(fd, 0, SEEK_SET);
        FTR::CCpuInfo(crash).write(fd);
        FTR::CStackInfo(crash).write(fd);
        FTR::CModuleInfo(crash).write(fd);
    }
    close(fd);
}
BENCHMARK(BM_ReportRegistersStackModules)->Unit(benchmark::kMicrosecond);

// The helper's whole stack step for one thread: reporting the modules,
// reading their unwind and symbol tables (and debug information where
// installed), walking and naming. Here it walks this very process, from the
// registers of this function, which stay valid while the walk runs below it.
void BM_OutsideStackWalk(benchmark::State& state)
{
    ucontext_t context;
    getcontext(&context);
    const greg_t* g = context.uc_mcontext.gregs;
    const FTR::CStackWalker::Registers registers = {
        static_cast<uint64_t>(g[REG_RAX]), static_cast<uint64_t>(g[REG_RDX]), static_cast<uint64_t>(g[REG_RCX]),
        static_cast<uint64_t>(g[REG_RBX]), static_cast<uint64_t>(g[REG_RSI]), static_cast<uint64_t>(g[REG_RDI]),
        static_cast<uint64_t>(g[REG_RBP]), static_cast<uint64_t>(g[REG_RSP]), static_cast<uint64_t>(g[REG_R8]),
        static_cast<uint64_t>(g[REG_R9]),  static_cast<uint64_t>(g[REG_R10]), static_cast<uint64_t>(g[REG_R11]),
        static_cast<uint64_t>(g[REG_R12]), static_cast<uint64_t>(g[REG_R13]), static_cast<uint64_t>(g[REG_R14]),
        static_cast<uint64_t>(g[REG_R15]), static_cast<uint64_t>(g[REG_RIP])};
    size_t frames = 0;
    for (auto _ : state)
        frames = FTR::CStackWalker::walk(getpid(), gettid(), registers).size();
    state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_OutsideStackWalk)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
