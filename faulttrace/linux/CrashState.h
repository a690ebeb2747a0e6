#pragma once
// Everything the crash path needs, prepared in normal context by
// FaultTraceInit and only read (apart from the public address) at crash time.
// Plain fixed-size data: nothing in it allocates or needs a destructor.

#include <cstddef>
#include <cstdint>

namespace FTR {

struct CrashState
{
    static constexpr size_t FieldBytes = 1024; // 255 wide characters in UTF-8, with room
    static constexpr size_t PathBytes = 4096;

    bool armed = false;

    // Settings.
    bool createDump = true;
    bool systemSection = true;
    bool cpuSection = true;
    bool stackSection = true;
    bool moduleSection = true;
    int serverPort = -1;
    char clientVersion[FieldBytes] = {};
    char serverAddress[FieldBytes] = {};
    char serverPath[FieldBytes] = {};
    char ftpUser[FieldBytes] = {};
    char ftpPassword[FieldBytes] = {};
    // Filled by the report's address lookup during a crash.
    char publicAddress[FieldBytes] = {};
    char addressHost[FieldBytes] = {};
    int addressPort = 80;
    // The "FileVersion" of the checked file; empty gives no "Client" line.
    char checkedFileVersion[FieldBytes] = {};

    // Paths.
    char exeDir[PathBytes] = {};       // with a trailing "/"
    char dumpDir[PathBytes] = {};      // exeDir + "dump/"
    // Where archives go when the program's folder takes none (an installed
    // program under /usr): the user's state folder, "<state>/<program>/dump/".
    char userDumpDir[PathBytes] = {};
    char helperPath[PathBytes] = {};   // the helper program beside the library
    char postmortemPath[PathBytes] = {};

    // System description gathered once.
    char systemLine[256] = {};
    char cpuBrand[64] = {};
    char videoLines[4096] = {};        // ready-made "Video:  ..." lines
    char kernelDescription[512] = {};  // for the minidump's system info
    uint32_t osMajor = 0;
    uint32_t osMinor = 0;
    uint32_t osBuild = 0;
    uint32_t processorCount = 1;
    uint32_t cpuVendor[3] = {};
    uint32_t cpuVersion = 0;
    uint32_t cpuFeatures = 0;
    uint32_t cpuAmdFeatures = 0;

    // Bounds, in milliseconds. The whole handling ends within handlingBoundMs:
    // then the signal is re-raised whatever is still running. The helper runs
    // are cut short so that the handler still has time to start the
    // post-mortem program itself.
    int handlingBoundMs = 30000;
    int lookupWaitMs = 5000;
    int packageWaitMs = 25000;
};

CrashState& crashState();

} // namespace FTR
