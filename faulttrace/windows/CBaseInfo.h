#pragma once
// One section of the text report: its title line, then its body. The text
// is built wide and written in the OEM code page of the system.

#include <windows.h>

#include <cstddef>

namespace FTR {

struct CrashContext;

class CBaseInfo
{
public:
    CBaseInfo(const char* title, const CrashContext& crash);

    // Writes the title, a line break and the body to `file`.
    bool write(HANDLE file);

protected:
    // Sections live on the handler's stack and are never deleted through this base.
    ~CBaseInfo() = default;
    // Called by write() after the title line.
    virtual bool writeBody(HANDLE file) = 0;
    // Converts `text` to the OEM code page and writes it whole.
    static bool writeText(HANDLE file, const wchar_t* text);
    static bool writeBytes(HANDLE file, const void* data, size_t size);

    const wchar_t* lineBreak = L"\r\n";
    char title[64] = {};
    const CrashContext& crash;
};

} // namespace FTR
