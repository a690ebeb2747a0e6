#pragma once
// A file's version information: its version block and the block's first
// language and code-page pair.

#include <cstddef>

namespace FTR {

class CFileInfo
{
public:
    static constexpr size_t MaxPathChars = 512;
    // Version blocks are a few kilobytes; a larger one is treated as missing.
    static constexpr size_t MaxBlockBytes = 32 * 1024;

    explicit CFileInfo(const wchar_t* path);

    // The string `name` ("FileVersion", "ProductVersion") of the first
    // language, copied only when it is shorter than `size`; false otherwise
    // and when the file has no version information.
    bool value(const wchar_t* name, wchar_t* out, size_t size) const;

private:
    wchar_t path[MaxPathChars] = {};
    alignas(8) unsigned char block[MaxBlockBytes];
    bool loaded = false;
    unsigned language = 0;
    unsigned codePage = 0;
};

} // namespace FTR
