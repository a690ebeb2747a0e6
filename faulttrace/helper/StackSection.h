#pragma once
// The report's "[Stack Info]" section as the helper program rewrites it:
// the crash handler writes the section with the return addresses it could
// find without names, and the helper puts its walk from outside in their
// place, leaving every other byte of the report as it was.

#include "faulttrace/helper/StackFrame.h"

#include <string>
#include <vector>

namespace FTR {

class StackSection
{
public:
    // "[base][offset]  module  function\r\n", or "[pc]  UnkownModule  function\r\n".
    static std::string frameLine(const StackFrame& frame);

    // The report with the frame lines of its stack section (those between
    // the section's header line and the blank line that ends it) replaced
    // by `frames`; unchanged when it has no stack section.
    static std::string replaceFrames(const std::string& report, const std::vector<StackFrame>& frames);

    // Rewrites the report file so that a reader sees either the old or the
    // new content, never a part: false when it cannot be read or replaced.
    static bool rewriteFile(const std::string& path, const std::vector<StackFrame>& frames);
};

} // namespace FTR
