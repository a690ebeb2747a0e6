// The crash reporter's helper program. The crash handler starts it in a fresh
// process for the work a crashed process must not do itself:
//   FaultTraceHelper lookup HOST PORT   prints the public address, exit 0 when the service answered
//   FaultTraceHelper package            reads its request ("key\0value\0" pairs) from standard
//                                       input; packs, uploads, starts the post-mortem program
// It runs in the crashed program's current directory.

#include "faulttrace/helper/CArchiveWriter.h"
#include "faulttrace/helper/CNet_Ftp_Handle.h"
#include "faulttrace/helper/PublicAddressLookup.h"
#include "faulttrace/helper/ReportDemangler.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>
#include <iostream>
#include <iterator>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const reportFile = "FaultTrace.txt";
const char* const dumpFile = "FaultTrace.DMP";

std::map<std::string, std::string> readRequest(std::istream& in)
{
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, std::string> fields;
    size_t at = 0;
    while (at < raw.size()) {
        const size_t keyEnd = raw.find('\0', at);
        if (keyEnd == std::string::npos)
            break;
        const size_t valueEnd = raw.find('\0', keyEnd + 1);
        if (valueEnd == std::string::npos)
            break;
        fields.emplace(raw.substr(at, keyEnd - at), raw.substr(keyEnd + 1, valueEnd - keyEnd - 1));
        at = valueEnd + 1;
    }
    return fields;
}

// Started with the single argument "-dump" in our (the crashed program's)
// current directory; if it cannot be started, the report and dump go.
void startPostmortem(const std::string& path)
{
    std::string argument = "-dump";
    char* argv[] = {const_cast<char*>(path.c_str()), argument.data(), nullptr};
    pid_t pid = 0;
    if (path.empty() || posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::remove(reportFile);
        std::remove(dumpFile);
    }
}

int package()
{
    auto request = readRequest(std::cin);
    const std::string dumpDir = request["dumpDir"];
    const std::string archiveName = request["archiveName"];

    FTR::ReportDemangler::demangleFile(reportFile);

    if (!dumpDir.empty() && !archiveName.empty()) {
        struct stat st = {};
        if (stat(dumpDir.c_str(), &st) != 0)
            mkdir(dumpDir.c_str(), 0755);
        const std::string archivePath = dumpDir + archiveName;
        if (FTR::CArchiveWriter::createArchive(archivePath, {reportFile, dumpFile})) {
            FTR::FtpTarget target;
            target.host = request["serverAddress"];
            target.port = std::atoi(request["serverPort"].c_str());
            target.user = request["ftpUser"];
            target.password = request["ftpPassword"];
            target.directory = request["serverPath"];
            if (FTR::CNet_Ftp_Handle::upload(target, archivePath, archiveName))
                std::remove(archivePath.c_str());
        }
    }
    startPostmortem(request["postmortem"]);
    return 0;
}

int lookup(const std::string& host, const std::string& port)
{
    std::string address;
    if (!FTR::PublicAddressLookup::lookup(host, std::atoi(port.c_str()), address))
        return 1;
    std::cout << address << std::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    int rc = 2;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "lookup" && argc == 4)
        rc = lookup(argv[2], argv[3]);
    else if (mode == "package")
        rc = package();
    else
        std::cerr << "usage: " << argv[0] << " lookup HOST PORT | package < request\n";
    curl_global_cleanup();
    return rc;
}
