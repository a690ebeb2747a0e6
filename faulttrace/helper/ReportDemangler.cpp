#include "faulttrace/helper/ReportDemangler.h"

#include <cstdlib>
#include <cxxabi.h>
#include <fstream>
#include <iterator>
#include <memory>

namespace FTR {

namespace {

struct FreeDeleter
{
    void operator()(char* p) const { std::free(p); }
};

std::string demangleName(const std::string& name)
{
    if (name.compare(0, 2, "_Z") != 0)
        return name;
    int status = 0;
    std::unique_ptr<char, FreeDeleter> readable(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status));
    return status == 0 && readable ? std::string(readable.get()) : name;
}

} // namespace

std::string ReportDemangler::demangle(const std::string& report)
{
    std::string out;
    out.reserve(report.size() + report.size() / 4);
    bool inStack = false;
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find('\n', start);
        end = end == std::string::npos ? report.size() : end + 1;
        std::string line = report.substr(start, end - start);
        start = end;
        if (line.compare(0, 12, "[Stack Info]") == 0) {
            inStack = true;
        } else if (inStack && (line == "\r\n" || line == "\n")) {
            inStack = false;
        } else if (inStack && !line.empty() && line[0] == '[') {
            size_t bodyEnd = line.size();
            while (bodyEnd && (line[bodyEnd - 1] == '\n' || line[bodyEnd - 1] == '\r'))
                --bodyEnd;
            const size_t gap = line.rfind("  ", bodyEnd);
            if (gap != std::string::npos && gap + 2 <= bodyEnd) {
                const std::string name = line.substr(gap + 2, bodyEnd - gap - 2);
                line = line.substr(0, gap + 2) + demangleName(name) + line.substr(bodyEnd);
            }
        }
        out += line;
    }
    return out;
}

bool ReportDemangler::demangleFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const std::string readable = demangle(report);
    if (readable == report)
        return true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << readable;
    return static_cast<bool>(out);
}

} // namespace FTR
