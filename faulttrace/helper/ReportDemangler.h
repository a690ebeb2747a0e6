#pragma once
// Makes the function names of the report's stack lines readable: the crash
// path can only write the mangled names. Runs in the helper process.

#include <string>

namespace FTR {

class ReportDemangler
{
public:
    // Demangles the last field of every stack line of the report text.
    static std::string demangle(const std::string& report);
    // Rewrites the report file in place; false when it cannot be read or written.
    static bool demangleFile(const std::string& path);
};

} // namespace FTR
