#pragma once
// The operating-system description of the report's "SYSTEM" line, from
// GetVersionExW and the native processor architecture. Systems newer than
// Windows Vista and Server 2003 read "Unknown System Version".

#include <windows.h>

#include <cstddef>

namespace FTR {

class CSys_OsInfo
{
public:
    // Describes this system; false (nothing to write) when the version cannot be read
    // or the description is 256 characters or more.
    static bool describe(wchar_t* out, size_t size);

    // The description for a version record. `extended` says whether the
    // record's product type and suites were filled; `architecture` is a
    // PROCESSOR_ARCHITECTURE_ value; `serverR2` is GetSystemMetrics(SM_SERVERR2).
    static bool describe(const OSVERSIONINFOEXW& version, bool extended, WORD architecture, bool serverR2,
                         wchar_t* out, size_t size);
};

} // namespace FTR
