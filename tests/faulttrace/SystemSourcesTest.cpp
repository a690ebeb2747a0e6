// Where the report's system lines come from on this system: display adapters
// from sysfs and memory from the kernel.

#include "faulttrace/linux/CSys_MemoryInfo.h"
#include "faulttrace/linux/CSys_VideoInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text << "\n";
}

void addDevice(const std::string& root, const std::string& slot, const std::string& cls, const std::string& vendor,
               const std::string& device, const std::string& driver)
{
    const std::string dir = root + "/" + slot;
    mkdir(dir.c_str(), 0755);
    writeFile(dir + "/class", cls);
    writeFile(dir + "/vendor", vendor);
    writeFile(dir + "/device", device);
    if (!driver.empty())
        symlink(("../../../bus/pci/drivers/" + driver).c_str(), (dir + "/driver").c_str());
}

} // namespace

TEST(VideoAdapters, AreTheDisplayClassDevicesInBusOrderWithTheirDrivers)
{
    char pattern[] = "/tmp/faulttrace-sysfs-XXXXXX";
    const std::string root = mkdtemp(pattern);
    addDevice(root, "0000:00:02.0", "0x030000", "0x1234", "0x1111", "bochs-drm");
    addDevice(root, "0000:00:01.0", "0x020000", "0x8086", "0x100e", "e1000");
    addDevice(root, "0000:01:00.0", "0x030200", "0xabcd", "0x0001", "");
    // A list in the format of pci.ids: the first vendor with one device, the
    // second without the device asked for.
    writeFile(root + "/pci.ids", "# comment\n1234  Acme Graphics\n\t1111  Acme VGA\n\t2222  Other\n"
                                 "abcd  Bcorp\n\t0002  Not this one\nabce  Ccorp");

    // Without a PCI ID list (the first readable list counts) the numbers stand for the names.
    const auto numbered = FTR::CSys_VideoInfo::adapters(root, {root + "/missing.ids"});
    const auto named = FTR::CSys_VideoInfo::adapters(root, {root + "/missing.ids", root + "/pci.ids"});
    std::system(("rm -rf '" + root + "'").c_str());
    ASSERT_EQ(numbered.size(), 2u);
    EXPECT_EQ(numbered[0], "PCI 1234:1111 (bochs-drm)");
    EXPECT_EQ(numbered[1], "PCI abcd:0001");
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(named[0], "Acme Graphics Acme VGA (bochs-drm)");
    EXPECT_EQ(named[1], "Bcorp");
    EXPECT_TRUE(FTR::CSys_VideoInfo::adapters("/nonexistent").empty());
}

TEST(PhysicalMemory, TotalAndAvailableComeFromTheKernel)
{
    uint64_t total = 0;
    uint64_t available = 0;
    EXPECT_TRUE(FTR::CSys_MemoryInfo::parse("MemTotal:       24685104 kB\nMemFree:          100 kB\n"
                                            "MemAvailable:   23644676 kB\n",
                                            total, available));
    EXPECT_EQ(total, 24685104u);
    EXPECT_EQ(available, 23644676u);
    EXPECT_TRUE(FTR::CSys_MemoryInfo::parse("MemTotal: 2048 kB\nMemFree: 1024 kB\n", total, available));
    EXPECT_EQ(available, 1024u);
    EXPECT_FALSE(FTR::CSys_MemoryInfo::parse("MemFree: 1024 kB\n", total, available));
    EXPECT_FALSE(FTR::CSys_MemoryInfo::parse("", total, available));
    EXPECT_TRUE(FTR::CSys_MemoryInfo::read(total, available));
    EXPECT_GT(total, 0u);
    EXPECT_LE(available, total);
}
