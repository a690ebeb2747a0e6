#pragma once
// Everything the crash handling needs, prepared in normal context by
// FaultTraceInit and only read at crash time, apart from the public address
// that the report's lookup fills in. Fixed-size data, so the handling needs
// no allocation of its own to reach it.

#include <cstddef>

namespace FTR {

struct CrashState
{
    // The settings' wide fields: 255 characters and the terminator.
    static constexpr size_t FieldChars = 256;
    static constexpr size_t PathChars = 1024;

    // Settings.
    bool createDump = true;
    bool systemSection = true;
    bool cpuSection = true;
    bool stackSection = true;
    bool moduleSection = true;
    int serverPort = -1;
    wchar_t clientVersion[FieldChars] = {};
    wchar_t serverAddress[FieldChars] = {};
    wchar_t serverPath[FieldChars] = {};
    wchar_t ftpUser[FieldChars] = {};
    wchar_t ftpPassword[FieldChars] = {};
    // Filled by the report's address lookup during a crash.
    wchar_t publicAddress[FieldChars] = {};
    wchar_t addressHost[FieldChars] = {};
    int addressPort = 80;
    // The file whose "FileVersion" gives the report's "Client" line; empty gives none.
    wchar_t checkedFile[FieldChars] = {};

    // Paths.
    wchar_t exeDir[PathChars] = {};         // with a trailing backslash
    wchar_t dumpDir[PathChars] = {};        // exeDir + "dump\"
    wchar_t postmortemPath[PathChars] = {}; // exeDir + "Postmortem.exe"

    // Bounds, in milliseconds. The crashed thread waits for the handling at
    // most handlingBoundMs; each network step has its own, shorter bound.
    int handlingBoundMs = 30000;
    int lookupTimeoutMs = 3000;
    int ftpTimeoutMs = 5000;
    int postmortemIdleMs = 10000;
};

CrashState& crashState();

} // namespace FTR
