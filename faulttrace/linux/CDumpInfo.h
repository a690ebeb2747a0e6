#pragma once
// Writes the text report "FaultTrace.txt": the sections chosen by the
// settings, in their fixed order. Crash context.

namespace FTR {

struct CrashContext;

class CDumpInfo
{
public:
    // Takes ownership of `fd` (invalid = -1) and closes it on destruction.
    explicit CDumpInfo(int fd);
    ~CDumpInfo();
    CDumpInfo(const CDumpInfo&) = delete;
    CDumpInfo& operator=(const CDumpInfo&) = delete;

    // False only when the file is invalid.
    bool write(const CrashContext& crash);

private:
    int file = -1;
};

} // namespace FTR
