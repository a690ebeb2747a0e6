// Display adapters for the crash report, read from sysfs and named from the PCI ID list.

#include "faulttrace/linux/CSys_VideoInfo.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fstream>
#include <unistd.h>

namespace FTR {

namespace {

std::string readFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// Names from the PCI ID list when the system has one.
std::string pciName(const std::vector<std::string>& idLists, const std::string& vendor, const std::string& device)
{
    for (const std::string& file : idLists) {
        std::ifstream in(file);
        if (!in)
            continue;
        std::string line;
        std::string vendorName;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            if (line[0] != '\t') {
                if (!vendorName.empty())
                    return vendorName;
                if (line.compare(0, 4, vendor) == 0 && line.size() > 6)
                    vendorName = line.substr(6);
            } else if (!vendorName.empty() && line.size() > 7 && line[1] != '\t' && line.compare(1, 4, device) == 0) {
                return vendorName + " " + line.substr(7);
            }
        }
        return vendorName;
    }
    return std::string();
}

} // namespace

std::vector<std::string> CSys_VideoInfo::systemIdLists()
{
    return {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"};
}

std::vector<std::string> CSys_VideoInfo::adapters(const std::string& sysfsDevices,
                                                  const std::vector<std::string>& idLists)
{
    std::vector<std::string> devices;
    if (DIR* dir = opendir(sysfsDevices.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                devices.emplace_back(entry->d_name);
        }
        closedir(dir);
    }
    std::sort(devices.begin(), devices.end());
    std::vector<std::string> found;
    for (const std::string& name : devices) {
        const std::string base = sysfsDevices + "/" + name + "/";
        const std::string cls = readFirstLine(base + "class");
        if (cls.compare(0, 4, "0x03") != 0)
            continue;
        std::string vendor = readFirstLine(base + "vendor");
        std::string device = readFirstLine(base + "device");
        if (vendor.size() > 2)
            vendor = vendor.substr(2);
        if (device.size() > 2)
            device = device.substr(2);
        std::string description = pciName(idLists, vendor, device);
        if (description.empty())
            description = "PCI " + vendor + ":" + device;
        char link[PATH_MAX] = {};
        const ssize_t n = readlink((base + "driver").c_str(), link, sizeof link - 1);
        if (n > 0) {
            const std::string driver(link, static_cast<size_t>(n));
            description += " (" + driver.substr(driver.rfind('/') + 1) + ")";
        }
        found.push_back(description);
    }
    return found;
}


} // namespace FTR
