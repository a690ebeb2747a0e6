// The crash archive as real ZIP readers see it, and where uploads go.

#include "faulttrace/helper/CArchiveWriter.h"
#include "faulttrace/helper/CNet_Ftp_Handle.h"
#include "faulttrace/helper/PublicAddressLookup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

class ScratchFolder
{
public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/faulttrace-zip-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~ScratchFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string file(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

int run(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

} // namespace

TEST(CrashArchive, RealReadersAcceptItWithEntriesInOrderDeflatedAndDated)
{
    ScratchFolder scratch;
    {
        std::ofstream(scratch.file("FaultTrace.txt")) << std::string(20000, 'r') << "\r\nend\r\n";
        std::ofstream dump(scratch.file("FaultTrace.DMP"), std::ios::binary);
        for (int i = 0; i < 100000; ++i)
            dump.put(static_cast<char>(i * 7));
    }
    // A known modification time: 2024-02-29 13:37:42 local time.
    tm when = {};
    when.tm_year = 124;
    when.tm_mon = 1;
    when.tm_mday = 29;
    when.tm_hour = 13;
    when.tm_min = 37;
    when.tm_sec = 42;
    when.tm_isdst = -1;
    const time_t stamp = mktime(&when);
    timeval times[2] = {{stamp, 0}, {stamp, 0}};
    utimes(scratch.file("FaultTrace.txt").c_str(), times);

    const std::string archive = scratch.file("1.1.6.1429_FaultTrace[-20240229133742].zip");
    ASSERT_TRUE(FTR::CArchiveWriter::createArchive(
        archive, {scratch.file("FaultTrace.txt"), scratch.file("FaultTrace.DMP"), scratch.file("missing.bin")}));

    EXPECT_EQ(run("unzip -t '" + archive + "'"), 0);
    EXPECT_EQ(run("/usr/bin/python3 -m zipfile -t '" + archive + "'"), 0);
    const std::string listing = output("/usr/bin/python3 -c \"import sys,zipfile\n"
                                       "for i in zipfile.ZipFile(sys.argv[1]).infolist():"
                                       " print(i.filename, i.compress_type, i.date_time)\" '" + archive + "'");
    EXPECT_EQ(listing.substr(0, listing.find('\n')), "FaultTrace.txt 8 (2024, 2, 29, 13, 37, 42)");
    EXPECT_NE(listing.find("\nFaultTrace.DMP 8 ("), std::string::npos);
    EXPECT_EQ(listing.find("missing"), std::string::npos);
    EXPECT_EQ(output("unzip -p '" + archive + "' FaultTrace.txt | tail -c 5"), "end\r\n");
}

TEST(CrashArchive, UnwritableFolderFailsCleanly)
{
    EXPECT_FALSE(FTR::CArchiveWriter::createArchive("/nonexistent-folder/a.zip", {"/etc/hostname"}));
}

TEST(CrashUpload, GoesToTheConfiguredFolderWithEscapedNames)
{
    FTR::FtpTarget target;
    target.host = "127.0.0.1";
    target.port = 2121;
    target.directory = "/crashes\\in//";
    EXPECT_EQ(FTR::CNet_Ftp_Handle::url(target, "1.1.6.1429_FaultTrace[-20240229133742].zip"),
              "ftp://127.0.0.1:2121/crashes/in/1.1.6.1429_FaultTrace%5B-20240229133742%5D.zip");
    target.port = -1;
    target.directory.clear();
    EXPECT_EQ(FTR::CNet_Ftp_Handle::url(target, "a b.zip"), "ftp://127.0.0.1:21/a%20b.zip");
}

TEST(CrashUpload, EmptyServerOrMissingFileFailsWithoutTrying)
{
    FTR::FtpTarget target;
    EXPECT_FALSE(FTR::CNet_Ftp_Handle::upload(target, "/etc/hostname", "x.zip"));
    target.host = "127.0.0.1";
    EXPECT_FALSE(FTR::CNet_Ftp_Handle::upload(target, "/nonexistent/x.zip", "x.zip"));
}

TEST(PublicAddressLookup, UnreachableServiceIsAFailedLookup)
{
    std::string address = "stale";
    EXPECT_FALSE(FTR::PublicAddressLookup::lookup("", 80, address));
    EXPECT_TRUE(address.empty());
    // Port 1 on loopback refuses at once.
    EXPECT_FALSE(FTR::PublicAddressLookup::lookup("127.0.0.1", 1, address, 2));
}
