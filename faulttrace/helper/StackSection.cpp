#include "faulttrace/helper/StackSection.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace FTR {

namespace {

const std::string title = "[Stack Info]\r\n";
const std::string blankLine = "\r\n";

std::string hex(uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0X%08" PRIx64, value);
    return text;
}

} // namespace

std::string StackSection::frameLine(const StackFrame& frame)
{
    if (!frame.inModule)
        return "[" + hex(frame.pc) + "]  UnkownModule  " + frame.function + "\r\n";
    return "[" + hex(frame.moduleBase) + "][" + hex(frame.pc - frame.moduleBase) + "]  " + frame.moduleName + "  "
           + frame.function + "\r\n";
}

std::string StackSection::replaceFrames(const std::string& report, const std::vector<StackFrame>& frames)
{
    // The title opens a line: at the start or after a line break.
    size_t at = report.compare(0, title.size(), title) == 0 ? 0 : report.find("\n" + title);
    if (at == std::string::npos)
        return report;
    if (at != 0)
        ++at;
    const size_t header = at + title.size();
    const size_t headerEnd = report.find('\n', header);
    if (headerEnd == std::string::npos)
        return report;
    const size_t firstFrame = headerEnd + 1;
    size_t end = firstFrame;
    while (end < report.size() && report.compare(end, blankLine.size(), blankLine) != 0) {
        const size_t lineEnd = report.find('\n', end);
        end = lineEnd == std::string::npos ? report.size() : lineEnd + 1;
    }
    std::string lines;
    for (const StackFrame& frame : frames)
        lines += frameLine(frame);
    return report.substr(0, firstFrame) + lines + report.substr(end);
}

bool StackSection::rewriteFile(const std::string& path, const std::vector<StackFrame>& frames)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const std::string rewritten = replaceFrames(report, frames);
    if (rewritten == report)
        return true;
    const std::string scratch = path + ".new";
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out << rewritten;
        out.flush();
        if (!out) {
            std::remove(scratch.c_str());
            return false;
        }
    }
    return std::rename(scratch.c_str(), path.c_str()) == 0;
}

} // namespace FTR
