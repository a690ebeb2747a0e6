#pragma once
// One section of the text report: its title line, then its body. Sections
// are written in crash context: fixed buffers and plain writes only.

#include <cstddef>

namespace FTR {

struct CrashContext;

class CBaseInfo
{
public:
    CBaseInfo(const char* title, const CrashContext& crash);

    // Crash context: writes the title, a line break and the body to `fd`.
    bool write(int fd);

protected:
    // Sections live on the crash handler's stack and are never deleted
    // through this base, so no deleting destructor (and no operator delete)
    // is drawn into the crash path.
    ~CBaseInfo() = default;
    // Crash context.
    virtual bool writeBody(int fd) = 0;
    static bool writeText(int fd, const char* text, size_t size);

    const char* lineBreak = "\r\n";
    char title[64] = {};
    const CrashContext& crash;
};

} // namespace FTR
