#pragma once
// Writes a standard minidump (MDMP) of the crashing thread: system info, the
// thread with its registers and stack, the exception, the module list with
// build-id records and the modules' writable data. Crash context only:
// plain writes of memory prepared in advance, no allocation, no locks.

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <sys/types.h>
#include <ucontext.h>

namespace FTR {

class CModuleList;
class DumpFile;
class ThreadCapture;
struct CrashState;
struct MdDirectory;
struct MdThread;

class MinidumpWriter
{
public:
    // The format's offsets are 32 bits: no byte may lie past 4 GiB.
    static constexpr uint64_t MaxDumpBytes = 1ull << 32;

    // `others`, when given, adds the other threads stopped at the crash.
    // Memory that would take the file past `sizeLimit` is left out, so that
    // every offset stays valid; the small records after it always fit.
    MinidumpWriter(const CrashState& state, const CModuleList& maps, const siginfo_t* info,
                   const ucontext_t* context, pid_t threadId, const ThreadCapture* others = nullptr,
                   uint64_t sizeLimit = MaxDumpBytes);

    // Writes the dump to `fd` from its current start; false on a write failure.
    bool write(int fd);

private:
    // Crash context. Each appends one stream and returns its directory entry.
    MdDirectory writeThreadList(DumpFile& file);
    MdDirectory writeModuleList(DumpFile& file);
    MdDirectory writeMemoryList(DumpFile& file);
    MdDirectory writeException(DumpFile& file);
    MdDirectory writeSystemInfo(DumpFile& file);
    MdDirectory writeMiscInfo(DumpFile& file);
    MdDirectory writeMemoryInfoList(DumpFile& file);
    MdDirectory writeLinuxMaps(DumpFile& file);

    MdThread writeThread(DumpFile& file, pid_t id, uint64_t maxStack);

    const CrashState& state;
    const CModuleList& maps;
    const siginfo_t* info;
    const ucontext_t* context;
    pid_t threadId;
    const ThreadCapture* others;
    uint64_t sizeLimit;
    // The write in progress: memory regions gathered for the memory list so
    // far, and where the crashing thread's context lies.
    size_t regionCount = 0;
    uint32_t crashContextRva = 0;
};

} // namespace FTR
