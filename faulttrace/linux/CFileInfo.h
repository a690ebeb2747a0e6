#pragma once
// A file's version information. On this system a shared object carries its
// version in its file name ("libQt5Core.so.5.15.8" gives "5.15.8").
// Allocation-free, so the crash path can use it.

#include <cstddef>

namespace FTR {

class CFileInfo
{
public:
    // Writes the version of `path` into `out` (at most `size` - 1 bytes);
    // false, with `out` empty, when the name carries none.
    static bool versionOf(const char* path, char* out, size_t size);
};

} // namespace FTR
