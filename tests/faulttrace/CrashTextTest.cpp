// The crash path's text pieces: value formats, module versions, processor
// identification, the address answer and the report's readable names.

#include "faulttrace/linux/CFileInfo.h"
#include "faulttrace/PublicAddressParser.h"
#include "faulttrace/helper/CStackWalker.h"
#include "faulttrace/helper/StackSection.h"
#include "faulttrace/CpuIdentity.h"
#include "faulttrace/SafeText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string hex(uint64_t v, int digits = 8)
{
    char buffer[32];
    FTR::SafeText text(buffer, sizeof buffer);
    text.addHex(v, digits);
    return text.data();
}

std::string general(double v)
{
    char buffer[64];
    FTR::SafeText text(buffer, sizeof buffer);
    text.addGeneral(v);
    return text.data();
}

std::string printfGeneral(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%G", v);
    return buffer;
}

std::string version(const char* path)
{
    char out[64];
    FTR::CFileInfo::versionOf(path, out, sizeof out);
    return out;
}

} // namespace

TEST(ValueFormats, HexadecimalValueFormPadsToEightOrSixteenDigits)
{
    EXPECT_EQ(hex(4198400), "0X00401000");
    EXPECT_EQ(hex(43981), "0X0000abcd");
    EXPECT_EQ(hex(0), "0X00000000");
    EXPECT_EQ(hex(0x123456789ull), "0X123456789");
    EXPECT_EQ(hex(0x7ffc13f8c720ull, 16), "0X00007ffc13f8c720");
    EXPECT_EQ(hex(~0ull, 16), "0Xffffffffffffffff");
}

TEST(ValueFormats, ClockRateReadsAsPrintfGeneralWould)
{
    for (uint64_t units : {0ull, 1ull, 7ull, 999ull, 1000ull, 2876ull, 2893ull, 3000ull, 3600ull, 4999ull, 12345ull,
                           123456ull, 999999ull, 1234567ull}) {
        const float ghz = FTR::CpuIdentity::clockFromCounts(units * 50000 + 1234, 1234);
        EXPECT_EQ(general(ghz), printfGeneral(ghz)) << units;
    }
    for (double v : {1e-5, 0.00012345, 0.5, 1.0, 123456.0, 999999.5, 1e6, 2.5e12, 9.9999996})
        EXPECT_EQ(general(v), printfGeneral(v)) << v;
}

TEST(ValueFormats, RoundedMegabytesReadAsPrintfWould)
{
    for (double v : {0.0, 0.4, 0.5, 1.5, 2.5, 24106.49, 24106.5, 24107.5, 1e9 + 0.7}) {
        char buffer[64];
        FTR::SafeText text(buffer, sizeof buffer);
        text.addRounded(v);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.0f", v);
        EXPECT_STREQ(text.data(), expected) << v;
    }
}

TEST(ValueFormats, TextNeverRunsPastItsBuffer)
{
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    FTR::SafeText text(buffer, 6);
    text.add("abcdefghij").addHex(0xdeadbeef).addDecimal(-1234567);
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_EQ(buffer[6], '#');
    char copy[4];
    EXPECT_EQ(FTR::safeCopy(copy, sizeof copy, "longer"), 3u);
    EXPECT_STREQ(copy, "lon");
}

TEST(CFileInfos, ComeFromTheSharedObjectName)
{
    EXPECT_EQ(version("/usr/lib/x86_64-linux-gnu/libQt5Core.so.5.15.8"), "5.15.8");
    EXPECT_EQ(version("/usr/lib/x86_64-linux-gnu/libc.so.6"), "6");
    EXPECT_EQ(version("libstdc++.so.6.0.30"), "6.0.30");
    EXPECT_EQ(version("/opt/app/libFaultTrace.so"), "");
    EXPECT_EQ(version("/opt/app/Scribbloom"), "");
    EXPECT_EQ(version("/opt/lib.so.d/libx.so"), "");
    EXPECT_EQ(version("/usr/lib/libweird.so.1.2-beta"), "");
    char small[4];
    EXPECT_TRUE(FTR::CFileInfo::versionOf("libz.so.1.2.13", small, sizeof small));
    EXPECT_STREQ(small, "1.2");
}

TEST(ProcessorIdentification, VendorClassesAndBrandLeafRules)
{
    using V = FTR::CpuIdentity::Vendor;
    EXPECT_EQ(FTR::CpuIdentity::vendorFromName("GenuineIntel"), V::Intel);
    EXPECT_EQ(FTR::CpuIdentity::vendorFromName("AMD ISBETTER"), V::Amd);
    EXPECT_EQ(FTR::CpuIdentity::vendorFromName("TransmetaCPU"), V::Transmeta);
    EXPECT_EQ(FTR::CpuIdentity::vendorFromName("Geode By NSC"), V::Geode);
    EXPECT_EQ(FTR::CpuIdentity::vendorFromName("HygonGenuine"), V::Unknown);

    // Intel only for family 15: a family-6 Intel processor reports an empty name.
    EXPECT_FALSE(FTR::CpuIdentity::brandLeafAllowed(V::Intel, 6, 10));
    EXPECT_TRUE(FTR::CpuIdentity::brandLeafAllowed(V::Intel, 15, 0));
    EXPECT_FALSE(FTR::CpuIdentity::brandLeafAllowed(V::Amd, 5, 5));
    EXPECT_TRUE(FTR::CpuIdentity::brandLeafAllowed(V::Amd, 5, 6));
    EXPECT_TRUE(FTR::CpuIdentity::brandLeafAllowed(V::Amd, 25, 0));
    EXPECT_FALSE(FTR::CpuIdentity::brandLeafAllowed(V::Cyrix, 6, 4));
    EXPECT_TRUE(FTR::CpuIdentity::brandLeafAllowed(V::Cyrix, 6, 5));
    EXPECT_TRUE(FTR::CpuIdentity::brandLeafAllowed(V::Cyrix, 5, 4));
    EXPECT_FALSE(FTR::CpuIdentity::brandLeafAllowed(V::Centaur, 5, 7));
    EXPECT_TRUE(FTR::CpuIdentity::brandLeafAllowed(V::Transmeta, 5, 0));
    EXPECT_TRUE(FTR::CpuIdentity::brandLeafAllowed(V::Unknown, 1, 0));

    FTR::CpuIdentity cpu;
    cpu.read();
    EXPECT_EQ(std::strlen(cpu.vendorName), 12u);
    EXPECT_EQ(cpu.signature.family, (cpu.version >> 8) & 0xf);
    if (cpu.vendor == V::Intel && cpu.signature.family == 6) {
        EXPECT_STREQ(cpu.brand, "");
    }
    EXPECT_GT(FTR::CpuIdentity::clockFromCounts(150000000, 1000), 2.99f);
    EXPECT_EQ(FTR::CpuIdentity::clockFromCounts(10, 20), 0.0f);
}

TEST(PublicAddressAnswer, IsTheTextBetweenTheLastTagPair)
{
    EXPECT_EQ(FTR::PublicAddressParser::parse("<p>1.2.3.4</p>"), "1.2.3.4");
    EXPECT_EQ(FTR::PublicAddressParser::parse("<html><body><p>1.2.3.4</p></body></html>"), "");
    EXPECT_EQ(FTR::PublicAddressParser::parse("<html>\n<body>\n<p>1.2.3.4</p>\n</body>\n</html>\n"), "");
    EXPECT_EQ(FTR::PublicAddressParser::parse("1.2.3.4"), "");
    EXPECT_EQ(FTR::PublicAddressParser::parse("1.2.3.4</p>"), "");
    EXPECT_EQ(FTR::PublicAddressParser::parse("<a>first</a><b>second</b>trailing"), "second");
    EXPECT_EQ(FTR::PublicAddressParser::parse(""), "");
    const std::string huge = "<p>" + std::string(400, '9') + "</p>";
    EXPECT_EQ(FTR::PublicAddressParser::parse(huge), std::string(255, '9'));
}

TEST(ReportNames, TheWalkFromOutsideReplacesOnlyTheStackLines)
{
    const std::string header = "\x5B\xB5\xD8\xD6\xB7\x5D header\r\n";
    const std::string before = "[System Info]\r\nSYSTEM: _Z3foov\r\n\r\n[Stack Info]\r\n" + header;
    const std::string after = "\r\n[Module Info]\r\n[0X00400000] /opt/_Z3foov\r\n\r\n";
    const std::string report = before + "[0X00400000][0X00001000]  prog  \r\n[0X7f0000002000]  UnkownModule  \r\n" + after;

    std::vector<FTR::StackFrame> frames(3);
    frames[0].pc = 0x401000;
    frames[0].inModule = true;
    frames[0].moduleBase = 0x400000;
    frames[0].moduleName = "prog";
    frames[0].function = FTR::CStackWalker::readableName("_ZN12_GLOBAL__N_118crashByNullPointerEv");
    frames[1] = frames[0];
    frames[1].pc = 0x7f12345678ab;
    frames[1].moduleBase = 0x7f1234500000;
    frames[1].moduleName = "libc.so.6";
    frames[1].function = "malloc_printerr";
    frames[2].pc = 0x7f0000001000;
    frames[2].function = FTR::CStackWalker::readableName("_Znot_a_name");
    EXPECT_EQ(FTR::StackSection::replaceFrames(report, frames),
              before
                  + "[0X00400000][0X00001000]  prog  (anonymous namespace)::crashByNullPointer()\r\n"
                    "[0X7f1234500000][0X000678ab]  libc.so.6  malloc_printerr\r\n"
                    "[0X7f0000001000]  UnkownModule  _Znot_a_name\r\n"
                  + after);
    // No stack section (switched off): nothing to replace.
    const std::string without = "[System Info]\r\nSYSTEM: x\r\n\r\n" + after;
    EXPECT_EQ(FTR::StackSection::replaceFrames(without, frames), without);
    EXPECT_EQ(FTR::StackSection::replaceFrames("", frames), "");
}

TEST(ReportNames, AFrameOutsideEverySizedSymbolIsNamedAfterTheNearestWithItsDistance)
{
    // Sorted by address, as a module's symbol table is read: an exported
    // alias and a static function, then a gap no symbol covers.
    const std::vector<FTR::CStackWalker::Symbol> symbols = {
        {0x1000, 0x100, 0 /* STB_LOCAL */, "__libc_free"},
        {0x1000, 0x100, 2 /* STB_WEAK */, "free"},
        {0x1000, 0x100, 1 /* STB_GLOBAL */, "cfree@GLIBC_2.2.5"},
        {0x2000, 0x40, 0, "_ZN12_GLOBAL__N_14stepEi"},
    };
    EXPECT_EQ(FTR::CStackWalker::nameFor(0x1050, 0x1051, symbols), "cfree");
    EXPECT_EQ(FTR::CStackWalker::nameFor(0x2000, 0x2000, symbols), "(anonymous namespace)::step(int)");
    EXPECT_EQ(FTR::CStackWalker::nameFor(0x2100, 0x2101, symbols), "(anonymous namespace)::step(int)+0x101");
    EXPECT_EQ(FTR::CStackWalker::nameFor(0x0fff, 0x1000, symbols), "");

    FTR::CStackWalker::Registers registers{};
    EXPECT_TRUE(FTR::CStackWalker::parseRegisters(
        "0X0000000000000001 0X2 3 4 5 6 7 8 9 a b c d e f 10 0X00007f0000001234", registers));
    EXPECT_EQ(registers[16], 0x7f0000001234u);
    EXPECT_FALSE(FTR::CStackWalker::parseRegisters("1 2 3", registers));
}
