// The reporter's configuration file: its token format and the settings read from it.

#include "faulttrace/CConfigHandle.h"
#include "faulttrace/CGlobalSet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

FTR::CConfigHandle parse(const std::string& text)
{
    FTR::CConfigHandle config;
    std::istringstream in(text);
    config.loadFrom(in);
    return config;
}

std::wstring value(const FTR::CConfigHandle& config, const wchar_t* section, const wchar_t* key)
{
    std::wstring out = L"<absent>";
    config.getString(section, key, out);
    return out;
}

// A configuration file in a scratch folder, removed afterwards.
class ConfigFile
{
public:
    explicit ConfigFile(const std::string& text)
    {
        char pattern[] = "/tmp/faulttrace-config-XXXXXX";
        const int fd = mkstemp(pattern);
        path = pattern;
        close(fd);
        std::ofstream(path) << text;
    }
    ~ConfigFile() { std::remove(path.c_str()); }
    std::wstring widePath() const { return std::wstring(path.begin(), path.end()); }

private:
    std::string path;
};

} // namespace

TEST(ConfigFormat, ReadsSectionsKeysAndValuesAsThreeTokens)
{
    const auto config = parse("[ServInfo]\nServAddr = ftp.example.org\nServPort\t=\t2121\n[DumpInfo]\nDumpSys = TRUE\n");
    EXPECT_TRUE(config.isLoaded());
    EXPECT_EQ(value(config, L"ServInfo", L"ServAddr"), L"ftp.example.org");
    int port = 0;
    EXPECT_TRUE(config.getInt(L"ServInfo", L"ServPort", port));
    EXPECT_EQ(port, 2121);
    EXPECT_EQ(value(config, L"DumpInfo", L"DumpSys"), L"TRUE");
    EXPECT_EQ(value(config, L"DumpInfo", L"ServAddr"), L"<absent>");
    EXPECT_EQ(value(config, L"Nowhere", L"ServAddr"), L"<absent>");
}

TEST(ConfigFormat, KeyWithEqualsSignAttachedIsOneTokenAndSwallowsTheNextTwo)
{
    const auto config = parse("[ServInfo]\nServPort=21\nServAddr = host\nFtpUser = me\n");
    EXPECT_EQ(value(config, L"ServInfo", L"ServPort"), L"<absent>");
    // "ServAddr" was taken as the "=" of "ServPort=21" and "=" as its value.
    EXPECT_EQ(value(config, L"ServInfo", L"ServPort=21"), L"=");
    EXPECT_EQ(value(config, L"ServInfo", L"ServAddr"), L"<absent>");
    EXPECT_EQ(value(config, L"ServInfo", L"host"), L"=");
}

TEST(ConfigFormat, CommentsRunToTheEndOfTheLine)
{
    const auto config = parse("; leading comment [ServInfo]\n[ServInfo]\n// A = 1\nB = 2 \\ C = 3\n/x\n"
                              "\\ D = 4\n;E = 5\nF = 6\n");
    EXPECT_EQ(value(config, L"ServInfo", L"A"), L"<absent>");
    EXPECT_EQ(value(config, L"ServInfo", L"B"), L"2");
    EXPECT_EQ(value(config, L"ServInfo", L"C"), L"<absent>");
    EXPECT_EQ(value(config, L"ServInfo", L"D"), L"<absent>");
    EXPECT_EQ(value(config, L"ServInfo", L"E"), L"<absent>");
    EXPECT_EQ(value(config, L"ServInfo", L"F"), L"6");
}

TEST(ConfigFormat, FirstValueAndFirstSectionWin)
{
    const auto config = parse("Orphan = 1\n[S]\nK = first\nK = second\n[T]\nX = 1\n[S]\nK = third\nL = later\n");
    EXPECT_EQ(value(config, L"S", L"Orphan"), L"<absent>");
    EXPECT_EQ(value(config, L"S", L"K"), L"first");
    // A repeated section header files its entries into the first section's map.
    EXPECT_EQ(value(config, L"S", L"L"), L"later");
    EXPECT_EQ(value(config, L"T", L"X"), L"1");
}

TEST(ConfigFormat, SectionNameDropsFirstAndLastCharacters)
{
    const auto config = parse("[Name}\nA = 1\n[\nB = 2\n[]\nC = 3\n");
    EXPECT_EQ(value(config, L"Name", L"A"), L"1");
    EXPECT_EQ(value(config, L"", L"B"), L"2");
    EXPECT_EQ(value(config, L"", L"C"), L"3");
}

TEST(ConfigFormat, LongWordsAreCutIntoTokensOf255Characters)
{
    const std::string longKey(300, 'k');
    const auto config = parse("[S]\n" + longKey + " = v\n");
    // The first 255 characters make the key; the remaining 45 are its "=",
    // so "=" becomes the value and "v" starts the next entry.
    EXPECT_EQ(value(config, L"S", std::wstring(255, L'k').c_str()), L"=");
    const std::string longValue(600, 'x');
    const auto second = parse("[S]\nK = " + longValue + "\n");
    EXPECT_EQ(value(second, L"S", L"K"), std::wstring(255, L'x'));
}

TEST(ConfigFormat, EntryCutShortAtTheEndOfFileIsIgnored)
{
    EXPECT_EQ(value(parse("[S]\nK ="), L"S", L"K"), L"<absent>");
    EXPECT_EQ(value(parse("[S]\nK"), L"S", L"K"), L"<absent>");
    EXPECT_TRUE(parse("").isLoaded());
}

TEST(ConfigFormat, StringResultIsBoundedByTheCallersBuffer)
{
    const auto config = parse("[S]\nK = abcdef\n");
    std::wstring out;
    EXPECT_TRUE(config.getString(L"S", L"K", out, 4));
    EXPECT_EQ(out, L"abc");
}

TEST(ConfigFormat, NumbersBooleansAndUndecodableBytes)
{
    const auto config = parse("[S]\nI = -42x\nBig = 99999999999999\nF = 2.5e1\nJunk = abc\nYes = tRuE\n"
                              "No = TRUE1\nBytes = \xff\xfe\xe4\xb8\xad\n");
    int i = 0;
    EXPECT_TRUE(config.getInt(L"S", L"I", i));
    EXPECT_EQ(i, -42);
    EXPECT_TRUE(config.getInt(L"S", L"Big", i));
    EXPECT_EQ(i, 2147483647);
    long l = 0;
    EXPECT_TRUE(config.getLong(L"S", L"Big", l));
    EXPECT_EQ(l, 2147483647L);
    int64_t big = 0;
    EXPECT_TRUE(config.getInt64(L"S", L"Big", big));
    EXPECT_EQ(big, 99999999999999LL);
    double d = 0;
    EXPECT_TRUE(config.getDouble(L"S", L"F", d));
    EXPECT_DOUBLE_EQ(d, 25.0);
    EXPECT_TRUE(config.getInt(L"S", L"Junk", i));
    EXPECT_EQ(i, 0);
    bool b = false;
    EXPECT_TRUE(config.getBool(L"S", L"Yes", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(config.getBool(L"S", L"No", b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(config.getBool(L"S", L"Missing", b));
    EXPECT_EQ(value(config, L"S", L"Bytes"), L"\xFFFD\xFFFD\x4E2D");
}

TEST(ConfigFormat, SettersChangeNothingButReportSuccess)
{
    FTR::CConfigHandle config = parse("[S]\nK = 1\n");
    EXPECT_TRUE(config.setString(L"S", L"K", L"2"));
    EXPECT_TRUE(config.setInt(L"S", L"N", 5));
    EXPECT_EQ(value(config, L"S", L"K"), L"1");
    EXPECT_EQ(value(config, L"S", L"N"), L"<absent>");
}

TEST(ConfigFormat, HashIsTheElfHashOverSignedBytes)
{
    EXPECT_EQ(FTR::CConfigHandle::hash(""), 0u);
    EXPECT_EQ(FTR::CConfigHandle::hash("a"), 0x61u);
    EXPECT_EQ(FTR::CConfigHandle::hash("ServInfo"), 0xc9b015fu);
    EXPECT_EQ(FTR::CConfigHandle::hash("a_rather_long_key_name_1234567890"), 0xb3443a0u);
    // Bytes above 0x7f count as negative, unlike the unsigned textbook form.
    EXPECT_EQ(FTR::CConfigHandle::hash("\xe4\xb8\xad\xe6\x96\x87"), 0xd2f17u);
}

TEST(ConfigFile, MissingFileFailsAndClearForgets)
{
    FTR::CConfigHandle config;
    EXPECT_FALSE(config.load(L"/nonexistent/faulttrace.ini"));
    EXPECT_FALSE(config.isLoaded());
    ConfigFile file("[S]\nK = v\n");
    EXPECT_TRUE(config.load(file.widePath()));
    EXPECT_EQ(value(config, L"S", L"K"), L"v");
    config.clear();
    EXPECT_FALSE(config.isLoaded());
    EXPECT_EQ(value(config, L"S", L"K"), L"<absent>");
}

TEST(GlobalSettings, ReadEveryKeyOfTheFile)
{
    ConfigFile file("[ServInfo]\nServAddr = 10.0.0.5\nServPort = 2121\nServPath = crashes/in\nFtpUser = up\n"
                    "FtpPass = pw\nIpServ = 127.0.0.1:8080\n[DumpInfo]\nCreateDmp = true\nDumpSys = FALSE\n"
                    "DumpCpu = yes\nDumpSta = True\nDumpMod = TRUE\n[SysInfo]\nCheckFile = /usr/lib/libx.so.1\n");
    FTR::CGlobalSet settings;
    ASSERT_TRUE(settings.load(file.widePath()));
    EXPECT_EQ(settings.serverAddress, L"10.0.0.5");
    EXPECT_EQ(settings.serverPort, 2121);
    EXPECT_EQ(settings.serverPath, L"crashes/in");
    EXPECT_EQ(settings.ftpUser, L"up");
    EXPECT_EQ(settings.ftpPassword, L"pw");
    EXPECT_EQ(settings.addressService, L"127.0.0.1:8080");
    EXPECT_TRUE(settings.createDump);
    EXPECT_FALSE(settings.systemSection);
    EXPECT_FALSE(settings.cpuSection);
    EXPECT_TRUE(settings.stackSection);
    EXPECT_TRUE(settings.moduleSection);
    EXPECT_EQ(settings.checkedFile, L"/usr/lib/libx.so.1");
}

TEST(GlobalSettings, AbsentKeysTakeTheirOwnDefaults)
{
    // "ServPort=21" is one key token, so the port itself stays absent.
    ConfigFile file("[ServInfo]\nServPort=21 = x\nServAddr = h\n[DumpInfo]\nDumpCpu = FALSE\n");
    FTR::CGlobalSet settings;
    settings.ftpUser = L"stale";
    ASSERT_TRUE(settings.load(file.widePath()));
    EXPECT_EQ(settings.serverPort, -1);
    EXPECT_EQ(settings.serverAddress, L"h");
    EXPECT_EQ(settings.ftpUser, L"");
    EXPECT_TRUE(settings.createDump);
    EXPECT_TRUE(settings.systemSection);
    EXPECT_FALSE(settings.cpuSection);
    EXPECT_TRUE(settings.moduleSection);
}

TEST(GlobalSettings, UnreadableFileLeavesTheSettingsAlone)
{
    FTR::CGlobalSet settings;
    settings.serverAddress = L"kept";
    EXPECT_FALSE(settings.load(L"/nonexistent/faulttrace.ini"));
    EXPECT_EQ(settings.serverAddress, L"kept");
    settings.setDefaults();
    EXPECT_EQ(settings.serverAddress, L"");
    EXPECT_EQ(settings.serverPort, -1);
    EXPECT_TRUE(settings.createDump && settings.systemSection && settings.cpuSection && settings.stackSection
                && settings.moduleSection);
}
