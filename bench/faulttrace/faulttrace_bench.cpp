// Costs of the crash-time steps, measured in a healthy process from a
// context captured with getcontext.

#include "faulttrace/CGlobalSet.h"
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

} // namespace

BENCHMARK_MAIN();
