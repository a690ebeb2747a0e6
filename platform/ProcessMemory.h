#pragma once

#include <QtGlobal>

// How much memory this process holds, for the memory benchmarks.
class ProcessMemory {
public:
    // Bytes of this process now resident in memory; -1 when unknown.
    static qint64 residentBytes();
    // The most that has been resident at once since the process started; -1 when unknown.
    static qint64 peakResidentBytes();
};
