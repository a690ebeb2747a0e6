// Crash path: runs inside the crashed process. Writes the minidump one stream
// at a time through DumpFile. Only async-signal-safe calls (write, lseek,
// open, read, close, time, getpid), no allocation, no locks, no stdio.

#include "faulttrace/linux/MinidumpWriter.h"

#include "faulttrace/CpuIdentity.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/linux/CModuleList.h"
#include "faulttrace/linux/DumpContext.h"
#include "faulttrace/linux/DumpFile.h"
#include "faulttrace/linux/MinidumpFormat.h"
#include "faulttrace/linux/SafeIo.h"
#include "faulttrace/linux/ThreadCapture.h"

#include <cstdint>
#include <ctime>
#include <unistd.h>

namespace FTR {

namespace {

constexpr uint32_t StreamCount = 8;
constexpr size_t MaxRegions = 2048;
constexpr uint64_t MaxStackBytes = 32ull << 20;
constexpr uint64_t MaxOtherStackBytes = 4ull << 20;
constexpr uint64_t MaxSegmentBytes = 8ull << 20;
constexpr uint64_t RedZoneBytes = 128;
constexpr uint64_t StackSlackBytes = 1u << 20;

// Scratch space of the one crash handling in progress (crash context only).
MdMemory regions[MaxRegions];
uint32_t moduleNameRva[CModuleList::MaxModules];
MdLocation moduleCv[CModuleList::MaxModules];
MdContextAmd64 contextRecord;
MdThread threadTable[1 + ThreadCapture::MaxThreads];

} // namespace

MinidumpWriter::MinidumpWriter(const CrashState& state, const CModuleList& maps, const siginfo_t* info,
                               const ucontext_t* context, pid_t threadId, const ThreadCapture* others,
                               uint64_t sizeLimit)
    : state(state), maps(maps), info(info), context(context), threadId(threadId), others(others),
      sizeLimit(sizeLimit > MaxDumpBytes ? MaxDumpBytes : sizeLimit)
{
}

// Crash context. The streams in the order the directory lists them; the
// header and directory are written over their placeholders at the end.
bool MinidumpWriter::write(int fd)
{
    DumpFile file(fd, sizeLimit);
    MdHeader header{};
    MdDirectory directory[StreamCount] = {};
    file.append(&header, sizeof header);
    const uint32_t directoryRva = file.append(directory, sizeof directory);
    regionCount = 0;
    crashContextRva = 0;
    uint32_t stream = 0;
    directory[stream++] = writeThreadList(file);
    directory[stream++] = writeModuleList(file);
    directory[stream++] = writeMemoryList(file);
    directory[stream++] = writeException(file);
    directory[stream++] = writeSystemInfo(file);
    directory[stream++] = writeMiscInfo(file);
    directory[stream++] = writeMemoryInfoList(file);
    directory[stream++] = writeLinuxMaps(file);

    header.signature = 0x504d444d; // "MDMP"
    header.version = 0xa793;
    header.timeDateStamp = static_cast<uint32_t>(time(nullptr));
    header.streamCount = stream;
    header.directoryRva = directoryRva;
    file.rewrite(directoryRva, directory, sizeof directory);
    file.rewrite(0, &header, sizeof header);
    return file.good();
}

// Crash context. The crashing thread first, then the others stopped at the
// crash, each with its stack and its context record.
MdDirectory MinidumpWriter::writeThreadList(DumpFile& file)
{
    uint32_t threadCount = 0;
    fillContext(contextRecord, context);
    threadTable[threadCount] = writeThread(file, threadId, MaxStackBytes);
    crashContextRva = threadTable[threadCount++].context.rva;
    for (size_t i = 0; others && i < others->count(); ++i) {
        fillContext(contextRecord, others->thread(i));
        threadTable[threadCount++] = writeThread(file, others->thread(i).threadId, MaxOtherStackBytes);
    }
    file.align4();
    const uint32_t rva = file.append(&threadCount, sizeof threadCount);
    file.append(threadTable, sizeof(MdThread) * threadCount);
    return {StreamThreadList, {file.offset() - rva, rva}};
}

// Crash context. The thread whose registers are in contextRecord. Its stack
// runs from just below its stack pointer (the red zone) to the end of its
// mapping; a stack pointer that ran off the bottom of its stack keeps what
// lies above it.
MdThread MinidumpWriter::writeThread(DumpFile& file, pid_t id, uint64_t maxStack)
{
    MdMemory stack{};
    const StackRange range = maps.stackAt(contextRecord.rsp, RedZoneBytes, StackSlackBytes);
    if (range.start != range.end) {
        uint64_t size = range.end - range.start;
        if (size > maxStack)
            size = maxStack;
        stack = file.appendMemory(range.start, size);
        if (stack.location.size && regionCount < MaxRegions)
            regions[regionCount++] = stack;
    }
    file.align4();
    const uint32_t contextRva = file.append(&contextRecord, sizeof contextRecord);
    MdThread thread{};
    thread.threadId = static_cast<uint32_t>(id);
    thread.stack = stack;
    thread.context = {sizeof contextRecord, contextRva};
    return thread;
}

// Crash context. Names and build-id records first, then the list pointing at them.
MdDirectory MinidumpWriter::writeModuleList(DumpFile& file)
{
    const size_t moduleCount = maps.moduleCount();
    for (size_t i = 0; i < moduleCount; ++i) {
        const ModuleEntry& m = maps.module(i);
        moduleNameRva[i] = file.appendString(maps.path(m.path));
        file.align4();
        const uint32_t signature = CvSignatureElf;
        const uint32_t cvRva = file.append(&signature, sizeof signature);
        file.append(m.buildId, m.buildIdSize);
        moduleCv[i] = {4 + m.buildIdSize, cvRva};
    }
    file.align4();
    const auto count = static_cast<uint32_t>(moduleCount);
    const uint32_t rva = file.append(&count, sizeof count);
    for (size_t i = 0; i < moduleCount; ++i) {
        const ModuleEntry& m = maps.module(i);
        MdModule record{};
        record.base = m.base;
        record.size = static_cast<uint32_t>(m.end - m.base);
        record.nameRva = moduleNameRva[i];
        record.cvRecord = moduleCv[i];
        file.append(&record, sizeof record);
    }
    return {StreamModuleList, {file.offset() - rva, rva}};
}

// Crash context. The modules' writable data, with the zero-filled part that
// follows it, then the list of every memory region: the stacks' and these.
MdDirectory MinidumpWriter::writeMemoryList(DumpFile& file)
{
    for (size_t i = 0; i < maps.moduleCount(); ++i) {
        const ModuleEntry& m = maps.module(i);
        for (size_t j = m.firstMap; j <= m.lastMap + 1 && j < maps.mapCount(); ++j) {
            const MapEntry& e = maps.map(j);
            const bool bss = j == m.lastMap + 1 && e.path < 0 && e.start == maps.map(m.lastMap).end
                             && maps.map(m.lastMap).writable;
            if (!e.writable || !e.readable || (j > m.lastMap && !bss))
                continue;
            uint64_t size = e.end - e.start;
            if (size > MaxSegmentBytes)
                size = MaxSegmentBytes;
            if (regionCount >= MaxRegions)
                break;
            const MdMemory region = file.appendMemory(e.start, size);
            if (region.location.size)
                regions[regionCount++] = region;
        }
    }
    file.align4();
    const auto regionTotal = static_cast<uint32_t>(regionCount);
    const uint32_t rva = file.append(&regionTotal, sizeof regionTotal);
    file.append(regions, sizeof(MdMemory) * regionCount);
    return {StreamMemoryList, {file.offset() - rva, rva}};
}

// Crash context. The signal, pointing at the crashing thread's context.
MdDirectory MinidumpWriter::writeException(DumpFile& file)
{
    MdExceptionStream exception{};
    exception.threadId = static_cast<uint32_t>(threadId);
    exception.exception.code = static_cast<uint32_t>(info ? info->si_signo : 0);
    exception.exception.flags = static_cast<uint32_t>(info ? info->si_code : 0);
    exception.exception.address = info ? reinterpret_cast<uint64_t>(info->si_addr) : 0;
    exception.context = {sizeof contextRecord, crashContextRva};
    const uint32_t rva = file.append(&exception, sizeof exception);
    return {StreamException, {sizeof exception, rva}};
}

// Crash context. Processor and kernel as read while arming.
MdDirectory MinidumpWriter::writeSystemInfo(DumpFile& file)
{
    const uint32_t csdRva = file.appendString(state.kernelDescription);
    file.align4();
    MdSystemInfo system{};
    system.processorArchitecture = 9; // AMD64
    const CpuSignature cpu = decodeCpuSignature(state.cpuVersion);
    system.processorLevel = static_cast<uint16_t>(cpu.family == 0xf ? cpu.family + cpu.extendedFamily : cpu.family);
    const bool extended = cpu.family == 6 || cpu.family == 0xf;
    const uint32_t fullModel = extended ? (cpu.extendedModel << 4) | cpu.model : cpu.model;
    system.processorRevision = static_cast<uint16_t>((fullModel << 8) | cpu.stepping);
    system.processorCount = static_cast<uint8_t>(state.processorCount > 255 ? 255 : state.processorCount);
    system.majorVersion = state.osMajor;
    system.minorVersion = state.osMinor;
    system.buildNumber = state.osBuild;
    system.platformId = 0x8201; // Linux
    system.csdVersionRva = csdRva;
    for (int i = 0; i < 3; ++i)
        system.vendorId[i] = state.cpuVendor[i];
    system.versionInformation = state.cpuVersion;
    system.featureInformation = state.cpuFeatures;
    system.amdExtendedFeatures = state.cpuAmdFeatures;
    const uint32_t rva = file.append(&system, sizeof system);
    return {StreamSystemInfo, {sizeof system, rva}};
}

// Crash context.
MdDirectory MinidumpWriter::writeMiscInfo(DumpFile& file)
{
    MdMiscInfo misc{};
    misc.size = sizeof misc;
    misc.flags1 = 1; // process id present
    misc.processId = static_cast<uint32_t>(getpid());
    const uint32_t rva = file.append(&misc, sizeof misc);
    return {StreamMiscInfo, {sizeof misc, rva}};
}

// Crash context. Every mapping with its protection, in the format's
// page-protection terms.
MdDirectory MinidumpWriter::writeMemoryInfoList(DumpFile& file)
{
    MdMemoryInfoListHeader header{sizeof(MdMemoryInfoListHeader), sizeof(MdMemoryInfo), maps.mapCount()};
    const uint32_t rva = file.append(&header, sizeof header);
    for (size_t i = 0; i < maps.mapCount(); ++i) {
        const MapEntry& e = maps.map(i);
        MdMemoryInfo record{};
        record.base = e.start;
        record.allocationBase = e.start;
        record.regionSize = e.end - e.start;
        record.state = 0x1000; // committed
        if (!e.readable)
            record.protection = 0x01; // no access
        else if (e.executable)
            record.protection = e.writable ? 0x40 : 0x20;
        else
            record.protection = e.writable ? 0x04 : 0x02;
        record.allocationProtection = record.protection;
        record.type = e.path < 0 ? 0x20000 : (maps.moduleAt(e.start) ? 0x1000000 : 0x40000); // private, image, mapped
        file.append(&record, sizeof record);
    }
    return {StreamMemoryInfoList, {file.offset() - rva, rva}};
}

// Crash context. The mappings as text, which readers use to tell modules
// from other memory.
MdDirectory MinidumpWriter::writeLinuxMaps(DumpFile& file)
{
    const uint32_t rva = file.offset();
    const int mapsFd = safeOpenRead("/proc/self/maps");
    uint32_t size = 0;
    if (mapsFd >= 0) {
        char chunk[4096];
        for (;;) {
            const ssize_t n = safeReadAll(mapsFd, chunk, sizeof chunk);
            if (n <= 0)
                break;
            file.append(chunk, static_cast<size_t>(n));
            size += static_cast<uint32_t>(n);
        }
        safeClose(mapsFd);
    }
    return {StreamLinuxMaps, {size, rva}};
}

} // namespace FTR
