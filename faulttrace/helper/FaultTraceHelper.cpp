// The crash reporter's helper program. The crash handler starts it in a fresh
// process for the work a crashed process must not do itself:
//   FaultTraceHelper lookup HOST PORT   prints the public address, exit 0 when the service answered
//   FaultTraceHelper package            reads its request ("key\0value\0" pairs) from standard
//                                       input; walks the crashed thread's stack from outside into
//                                       the report, packs, uploads, starts the post-mortem program,
//                                       and says on descriptor 3 that it did ('P') or that it
//                                       removed the files instead ('R')
// It runs in the crashed program's current directory. The crashed process
// waits for it within a bound and takes the last step itself when no word
// came.

#include "faulttrace/helper/CArchiveWriter.h"
#include "faulttrace/helper/CNet_Ftp_Handle.h"
#include "faulttrace/helper/PublicAddressLookup.h"
#include "faulttrace/helper/CStackWalker.h"
#include "faulttrace/helper/StackSection.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>
#include <iostream>
#include <iterator>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>
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

// Tells the crashed process which of the last steps was taken.
void report(char step)
{
    if (fcntl(3, F_GETFD) >= 0) {
        ssize_t ignored = write(3, &step, 1);
        (void)ignored;
    }
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
        report('R');
    } else {
        report('P');
    }
}

// Runs `step` in a child of its own and gives it at most `boundMs`: a walk
// that hangs or crashes costs the report its names, not the archive.
template <typename Step>
void runBounded(int boundMs, Step step)
{
    const pid_t child = fork();
    if (child < 0)
        return;
    if (child == 0) {
        step();
        _exit(0);
    }
    const timespec pause{0, 10 * 1000 * 1000};
    for (int waited = 0; waited < boundMs; waited += 10) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return;
        nanosleep(&pause, nullptr);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

// "%Y%m%d%H%M%S" in the local time in force at `when`, daylight saving
// included; empty when the conversion fails.
std::string localStamp(const std::string& when)
{
    char* end = nullptr;
    const long long seconds = std::strtoll(when.c_str(), &end, 10);
    if (when.empty() || !end || *end)
        return std::string();
    const time_t at = static_cast<time_t>(seconds);
    tm local = {};
    char text[32] = {};
    if (!localtime_r(&at, &local) || !std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local))
        return std::string();
    return text;
}

// The version and address come from outside: a slash in them must not move
// the archive out of the dump folder.
std::string archiveNameFor(std::map<std::string, std::string>& request)
{
    std::string name = request["clientVersion"] + "_FaultTrace[" + request["addressAtStart"] + "-"
                       + localStamp(request["crashTime"]) + "].zip";
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return name;
}

void walkStackIntoReport(std::map<std::string, std::string>& request)
{
    FTR::CStackWalker::Registers registers{};
    const pid_t pid = static_cast<pid_t>(std::atoi(request["pid"].c_str()));
    const pid_t tid = static_cast<pid_t>(std::atoi(request["threadId"].c_str()));
    if (pid <= 0 || tid <= 0 || !FTR::CStackWalker::parseRegisters(request["registers"], registers))
        return;
    runBounded(10000, [&] {
        const std::vector<FTR::StackFrame> frames = FTR::CStackWalker::walk(pid, tid, registers);
        // Without a walk the handler's own lines stay.
        if (!frames.empty())
            FTR::StackSection::rewriteFile(reportFile, frames);
    });
}

// Makes `dir` (ending in "/") and every folder above it; true when it is
// then a folder this process may write into.
bool writableFolder(const std::string& dir)
{
    for (size_t slash = dir.find('/', 1); slash != std::string::npos; slash = dir.find('/', slash + 1))
        mkdir(dir.substr(0, slash).c_str(), 0755);
    struct stat st = {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(dir.c_str(), W_OK) == 0;
}

// The "dump" folder beside the program, or, where that cannot be written
// (a program installed for every user), the user's own: the report is
// never lost for want of a place to keep its archive.
std::string dumpFolder(const std::string& besideProgram, const std::string& usersOwn)
{
    if (!besideProgram.empty()) {
        struct stat st = {};
        if (stat(besideProgram.c_str(), &st) != 0)
            mkdir(besideProgram.c_str(), 0755);
        if (stat(besideProgram.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(besideProgram.c_str(), W_OK) == 0)
            return besideProgram;
    }
    return !usersOwn.empty() && writableFolder(usersOwn) ? usersOwn : std::string();
}

int package()
{
    // What this program starts must not inherit the crashed process's channel.
    if (fcntl(3, F_GETFD) >= 0)
        fcntl(3, F_SETFD, FD_CLOEXEC);
    auto request = readRequest(std::cin);
    const std::string dumpDir = dumpFolder(request["dumpDir"], request["userDumpDir"]);
    const std::string archiveName = archiveNameFor(request);

    if (request["stackSection"] == "1")
        walkStackIntoReport(request);

    if (!dumpDir.empty()) {
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
