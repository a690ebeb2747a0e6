// The start-up cost of reading "Scribbloom.ini", and how it grows with the file.
#include "settings/ConfigStore.h"
#include "platform/PrivateProfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString writeIni(QTemporaryDir& dir, int filler)
{
    QByteArray text = "; comment\n[Other]\n";
    for (int i = 0; i < filler; ++i)
        text += "key" + QByteArray::number(i) + "=some value " + QByteArray::number(i) + "\n";
    text += "[Config]\nPensize=5\nExitTray=0\nLangua=1\n";
    const QString path = dir.filePath("Scribbloom.ini");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

void BM_ReadOneValue(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir, int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::readProfileString(path, "Config", "Pensize", "1", 100));
    state.SetLabel(std::to_string(QFile(path).size()) + " bytes");
}
BENCHMARK(BM_ReadOneValue)->Arg(0)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_ConfigStoreLoad(benchmark::State& state)
{
    QTemporaryDir dir;
    writeIni(dir, int(state.range(0)));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (auto _ : state)
        ConfigStore::instance()->load();
    QDir::setCurrent(previous);
}
BENCHMARK(BM_ConfigStoreLoad)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_WriteOneValue(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir, int(state.range(0)));
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::writeProfileString(path, "Config", "Pensize", QString::number(++n)));
}
BENCHMARK(BM_WriteOneValue)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
