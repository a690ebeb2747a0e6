#include "faulttrace/linux/CrashPreparation.h"

#include "faulttrace/CGlobalSet.h"
#include "faulttrace/linux/CFileInfo.h"
#include "faulttrace/TextConv.h"
#include "faulttrace/CpuIdentity.h"
#include "faulttrace/linux/CSys_VideoInfo.h"
#include "faulttrace/linux/CrashState.h"
#include "faulttrace/SafeText.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>

#ifndef FAULTTRACE_HELPER_NAME
#define FAULTTRACE_HELPER_NAME "FaultTraceHelper"
#endif
#ifndef FAULTTRACE_DEFAULT_ADDRESS_SERVICE
#define FAULTTRACE_DEFAULT_ADDRESS_SERVICE ""
#endif

namespace FTR {

namespace {

CrashState& state = crashState();

void copyField(char* dest, size_t size, const std::string& text)
{
    safeCopy(dest, size, text.c_str());
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// "PRETTY_NAME" of /etc/os-release (or /usr/lib/os-release), unquoted.
std::string distributionName()
{
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            if (line.compare(0, 12, "PRETTY_NAME=") != 0)
                continue;
            std::string value = line.substr(12);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return std::string();
}

void prepareSystem()
{
    utsname un = {};
    std::string kernel;
    if (uname(&un) == 0) {
        kernel = std::string(un.sysname) + " " + un.release + " " + un.machine;
        copyField(state.kernelDescription, sizeof state.kernelDescription,
                  std::string(un.sysname) + " " + un.release + " " + un.version + " " + un.machine);
        unsigned major = 0, minor = 0, build = 0;
        const char* p = un.release;
        auto number = [&p]() {
            unsigned v = 0;
            while (*p >= '0' && *p <= '9')
                v = v * 10 + static_cast<unsigned>(*p++ - '0');
            if (*p == '.')
                ++p;
            return v;
        };
        major = number();
        minor = number();
        build = number();
        state.osMajor = major;
        state.osMinor = minor;
        state.osBuild = build;
    }
    const std::string distribution = distributionName();
    std::string system = distribution;
    if (!kernel.empty())
        system += system.empty() ? kernel : " (" + kernel + ")";
    // A description too long for its field is dropped rather than cut.
    if (system.size() < sizeof state.systemLine)
        copyField(state.systemLine, sizeof state.systemLine, system);

    CpuIdentity cpu;
    cpu.read();
    copyField(state.cpuBrand, sizeof state.cpuBrand, cpu.brand);
    for (int i = 0; i < 3; ++i)
        state.cpuVendor[i] = cpu.vendorRegisters[i];
    state.cpuVersion = cpu.version;
    state.cpuFeatures = cpu.features;
    state.cpuAmdFeatures = cpu.amdFeatures;
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    state.processorCount = processors > 0 ? static_cast<uint32_t>(processors) : 1;

    std::string video;
    int index = 0;
    for (const std::string& adapter : CSys_VideoInfo::adapters())
        video += "Video:  Adapter(" + std::to_string(index++) + ")-" + adapter + "\r\n";
    // Lines that do not fit are left out whole.
    while (video.size() >= sizeof state.videoLines)
        video.erase(video.rfind("Video:  "));
    copyField(state.videoLines, sizeof state.videoLines, video);
}

void preparePaths()
{
    char buffer[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    const std::string exeDir = n > 0 ? folderOf(std::string(buffer, static_cast<size_t>(n))) : std::string("./");
    copyField(state.exeDir, sizeof state.exeDir, exeDir);
    copyField(state.dumpDir, sizeof state.dumpDir, exeDir + "dump/");
    std::string stateHome;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/')
        stateHome = xdg;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        stateHome = std::string(home) + "/.local/state";
    if (!stateHome.empty() && n > 0) {
        const std::string exe(buffer, static_cast<size_t>(n));
        copyField(state.userDumpDir, sizeof state.userDumpDir,
                  stateHome + "/" + exe.substr(exe.rfind('/') + 1) + "/dump/");
    }
    copyField(state.postmortemPath, sizeof state.postmortemPath, exeDir + "Postmortem");

    // The helper is installed beside this library, wherever that is.
    Dl_info info = {};
    std::string libraryDir = exeDir;
    if (dladdr(reinterpret_cast<void*>(&crashState), &info) && info.dli_fname) {
        char resolved[PATH_MAX] = {};
        if (realpath(info.dli_fname, resolved))
            libraryDir = folderOf(resolved);
    }
    copyField(state.helperPath, sizeof state.helperPath, libraryDir + FAULTTRACE_HELPER_NAME);
}

} // namespace

void CrashPreparation::setAddressService(const char* service)
{
    std::string text = service ? service : "";
    int port = 80;
    const size_t colon = text.rfind(':');
    if (colon != std::string::npos && text.find(']', colon) == std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        char* end = nullptr;
        const long value = std::strtol(digits.c_str(), &end, 10);
        if (!digits.empty() && end && *end == '\0' && value > 0 && value < 65536)
            port = static_cast<int>(value);
        text = text.substr(0, colon);
    }
    copyField(state.addressHost, sizeof state.addressHost, text);
    state.addressPort = port;
}

void CrashPreparation::prepare(const CGlobalSet& settings)
{
    state.createDump = settings.createDump;
    state.systemSection = settings.systemSection;
    state.cpuSection = settings.cpuSection;
    state.stackSection = settings.stackSection;
    state.moduleSection = settings.moduleSection;
    state.serverPort = settings.serverPort;
    copyField(state.clientVersion, sizeof state.clientVersion, toUtf8(settings.clientVersion));
    copyField(state.serverAddress, sizeof state.serverAddress, toUtf8(settings.serverAddress));
    copyField(state.serverPath, sizeof state.serverPath, toUtf8(settings.serverPath));
    copyField(state.ftpUser, sizeof state.ftpUser, toUtf8(settings.ftpUser));
    copyField(state.ftpPassword, sizeof state.ftpPassword, toUtf8(settings.ftpPassword));
    copyField(state.publicAddress, sizeof state.publicAddress, toUtf8(settings.publicAddress));

    // The address service: the configuration's "IpServ", else the
    // environment's FAULTTRACE_IPSERV, else the one built in.
    std::string service = toUtf8(settings.addressService);
    if (service.empty()) {
        const char* fromEnvironment = getenv("FAULTTRACE_IPSERV");
        service = fromEnvironment ? fromEnvironment : FAULTTRACE_DEFAULT_ADDRESS_SERVICE;
    }
    setAddressService(service.c_str());

    state.checkedFileVersion[0] = '\0';
    if (!settings.checkedFile.empty()) {
        char resolved[PATH_MAX] = {};
        const std::string checked = toUtf8(settings.checkedFile);
        if (realpath(checked.c_str(), resolved))
            CFileInfo::versionOf(resolved, state.checkedFileVersion, sizeof state.checkedFileVersion);
    }

    preparePaths();
    prepareSystem();
}

} // namespace FTR
