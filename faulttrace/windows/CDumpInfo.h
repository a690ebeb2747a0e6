#pragma once
// Writes the text report "FaultTrace.txt": the sections chosen by the
// settings, in their fixed order.

#include <windows.h>

namespace FTR {

struct CrashContext;

class CDumpInfo
{
public:
    // Takes ownership of `file` (invalid = INVALID_HANDLE_VALUE) and closes it on destruction.
    explicit CDumpInfo(HANDLE file);
    ~CDumpInfo();
    CDumpInfo(const CDumpInfo&) = delete;
    CDumpInfo& operator=(const CDumpInfo&) = delete;

    // False only when the file is invalid.
    bool write(const CrashContext& crash);

private:
    HANDLE file = INVALID_HANDLE_VALUE;
};

} // namespace FTR
