#pragma once
// Writes the crash archive: a standard ZIP whose entries are deflated (zlib)
// and carry their source files' modification times.

#include <cstddef>

namespace FTR {

class CArchiveWriter
{
public:
    // Adds each existing file of `files` under its plain name (in the ANSI
    // code page); missing files are left out, and so are files of 4 GiB or
    // more, which need the ZIP64 extensions. False when the archive cannot be
    // created or written.
    static bool createArchive(const wchar_t* archivePath, const wchar_t* const* files, size_t count);
};

} // namespace FTR
