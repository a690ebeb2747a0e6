#pragma once
// The display adapters, from the PCI devices of display class in sysfs.
// Normal context: the list is gathered once at FaultTraceInit.

#include <string>
#include <vector>

namespace FTR {

class CSys_VideoInfo
{
public:
    // One description per adapter, in bus order: the PCI ID list's names when
    // the system has the list, else the vendor and device numbers; then the driver.
    // The first of idLists that can be read is the list.
    static std::vector<std::string> adapters(const std::string& sysfsDevices = "/sys/bus/pci/devices",
                                             const std::vector<std::string>& idLists = systemIdLists());

    // Where Debian and other distributions keep the PCI ID list.
    static std::vector<std::string> systemIdLists();
};

} // namespace FTR
