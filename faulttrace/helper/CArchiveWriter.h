#pragma once
// Writes the crash archive: a standard ZIP whose entries are deflated and
// carry their source files' modification times. Runs in the helper process.

#include <string>
#include <vector>

namespace FTR {

class CArchiveWriter
{
public:
    // Adds each existing file of `files` under its plain name; missing files
    // are left out. False when the archive cannot be created.
    static bool createArchive(const std::string& archivePath, const std::vector<std::string>& files);
};

} // namespace FTR
