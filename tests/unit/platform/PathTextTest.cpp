#include <gtest/gtest.h>
#include <clocale>
#include <cstdlib>
#include <sys/stat.h>

#include "core/platform/File.h"
#include "core/platform/Path.h"
#include "core/platform/Text.h"
#include "tests/support/TestSupport.h"

TEST(PathTest, StoredWindowsPathsMapOntoThisSystem) {
    ::unsetenv("HELIARC_DRIVE_C");
    EXPECT_EQ(platform::MapPath("C:\\"), ".");
    EXPECT_EQ(platform::MapPath("C:\\SPC_20090512.hlx"), "./SPC_20090512.hlx");
    EXPECT_EQ(platform::MapPath("c:\\data\\\\SPC_20090512.hlx"), "./data//SPC_20090512.hlx");
    ::setenv("HELIARC_DRIVE_D", "/mnt/field", 1);
    EXPECT_EQ(platform::MapPath("D:\\logger\\x.ini"), "/mnt/field/logger/x.ini");
    ::unsetenv("HELIARC_DRIVE_D");
    EXPECT_EQ(platform::MapPath("D:\\logger\\x.ini"), "./logger/x.ini");
    EXPECT_EQ(platform::MapPath("/var/data/x.hlx"), "/var/data/x.hlx");
    EXPECT_EQ(platform::MapPath("./ZQ118.ini"), "./ZQ118.ini");
}

TEST(PathTest, WildcardsMatchCaseInsensitivelyWithoutBacktrackingBlowUp) {
    EXPECT_TRUE(platform::WildcardMatch("SPC_????????.hlx", "spc_20090512.HLX"));
    EXPECT_FALSE(platform::WildcardMatch("SPC_????????.hlx", "SPC_2009051.hlx"));
    EXPECT_FALSE(platform::WildcardMatch("SPC_????????.hlx", "SPC_200905120.hlx"));
    EXPECT_TRUE(platform::WildcardMatch("CALIB_1_*.csv", "CALIB_1_.csv"));
    EXPECT_TRUE(platform::WildcardMatch("*", ""));
    EXPECT_FALSE(platform::WildcardMatch("?", ""));
    // A pathological pattern finishes at once.
    EXPECT_FALSE(platform::WildcardMatch("*a*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

TEST(PathTest, ListingAndCaseVariantsOfExistingFiles) {
    testsupport::TempWorkDir dir;
    testsupport::WriteFileBytes("SPC_20090512.hlx", "x");
    testsupport::WriteFileBytes("spc_20090513.HLX", "x");
    testsupport::WriteFileBytes("SPC_2009.hlx", "x");
    ::mkdir("SPC_20090514.hlx", 0755);  // a folder is no data file
    auto names = platform::ListMatchingFiles(dir.Path() + "\\SPC_????????.hlx");
    EXPECT_EQ(names, (std::vector<std::string>{"SPC_20090512.hlx", "spc_20090513.HLX"}));
    EXPECT_TRUE(platform::ListMatchingFiles("/no/such/folder/*.hlx").empty());
    EXPECT_EQ(platform::ResolveExisting(dir.Path() + "/SPC_20090513.hlx"), dir.Path() + "/spc_20090513.HLX");
    EXPECT_EQ(platform::ResolveExisting(dir.Path() + "/new.hlx"), dir.Path() + "/new.hlx");
    // Opening and sizing find the variant only when the name itself is missing; with both present
    // the name asked for is the one used.
    testsupport::WriteFileBytes("spc_20090512.HLX", "yy");
    EXPECT_EQ(platform::FileSizeOf("SPC_20090512.hlx"), 1);
    EXPECT_EQ(platform::FileSizeOf("SPC_20090513.hlx"), 1);
    EXPECT_EQ(platform::FileSizeOf("SPC_20090514.hlx"), -1);  // the folder
    EXPECT_EQ(platform::FileSizeOf("spc_20090599.hlx"), -1);
    for (auto mode : {platform::File::Mode::Read, platform::File::Mode::ReadWrite}) {
        platform::File f;
        ASSERT_TRUE(f.Open("SPC_20090512.HLX", mode));  // no such spelling: one of the two variants
        EXPECT_TRUE(f.IsSameFile("SPC_20090512.hlx") || f.IsSameFile("spc_20090512.HLX"));
        ASSERT_TRUE(f.Open("spc_20090512.HLX", mode));
        EXPECT_TRUE(f.IsSameFile("spc_20090512.HLX"));
        EXPECT_FALSE(f.IsSameFile("SPC_20090512.hlx"));
        ASSERT_TRUE(f.Open("Spc_20090513.hlx", mode));
        EXPECT_EQ(f.Size(), 1);
        EXPECT_FALSE(f.Open("SPC_20090514.hlx", mode));
    }
}

TEST(FileTest, BufferedReadsAndAppendsKeepPositions) {
    testsupport::TempWorkDir dir;
    platform::File f;
    ASSERT_FALSE(f.Open("missing.bin", platform::File::Mode::Read));
    ASSERT_TRUE(f.Open("a.bin", platform::File::Mode::Append));
    ASSERT_TRUE(f.WriteAll("0123456789", 10));
    f.Close();
    ASSERT_TRUE(f.Open("a.bin", platform::File::Mode::ReadWrite));
    f.SetReadBuffer(4);
    char buf[4] = {};
    ASSERT_TRUE(f.ReadExact(buf, 3));
    EXPECT_EQ(std::string(buf, 3), "012");
    EXPECT_EQ(f.Tell(), 3);
    ASSERT_TRUE(f.WriteAll("ab", 2));  // lands at the logical position, not after the read-ahead
    ASSERT_TRUE(f.ReadExact(buf, 2));
    EXPECT_EQ(std::string(buf, 2), "56");
    EXPECT_FALSE(f.ReadExact(buf, 4));  // only 3 left
    f.Close();
    EXPECT_EQ(testsupport::ReadFileBytes("a.bin"), "012ab56789");
    ::mkdir("folder", 0755);
    EXPECT_FALSE(f.Open("folder", platform::File::Mode::Read));
}

TEST(TextTest, FittingNeverCutsACharacter) {
    const std::string s = "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80z";  // a é あ 😀 z
    EXPECT_EQ(platform::FitBytes(s, 1), "a");
    EXPECT_EQ(platform::FitBytes(s, 2), "a");
    EXPECT_EQ(platform::FitBytes(s, 3), "a\xC3\xA9");
    EXPECT_EQ(platform::FitBytes(s, 5), "a\xC3\xA9");
    EXPECT_EQ(platform::FitBytes(s, 6), "a\xC3\xA9\xE3\x81\x82");
    EXPECT_EQ(platform::FitBytes(s, 9), "a\xC3\xA9\xE3\x81\x82");
    EXPECT_EQ(platform::FitBytes(s, 100), s);
    // Bytes that are no UTF-8 (a CP932 text) count one each.
    EXPECT_EQ(platform::FitBytes("\x82\xA0\x82\xA2", 3), "\x82\xA0\x82");
    EXPECT_TRUE(platform::IsValidUtf8(s));
    EXPECT_FALSE(platform::IsValidUtf8("\xC0\xAF"));       // overlong
    EXPECT_FALSE(platform::IsValidUtf8("\xED\xA0\x80"));   // surrogate
    EXPECT_FALSE(platform::IsValidUtf8("\xE3\x81"));       // cut
}

TEST(TextTest, Cp932TextsAreShownDecoded) {
    EXPECT_EQ(platform::ToDisplayText("abc"), "abc");
    EXPECT_EQ(platform::ToDisplayText("\x82\xA0\x82\xA2"), "\xE3\x81\x82\xE3\x81\x84");  // あい
    std::string shown = platform::ToDisplayText("A\x82");  // a lead byte without its trail
    EXPECT_EQ(shown.substr(0, 1), "A");
    EXPECT_TRUE(platform::IsValidUtf8(shown));
}

TEST(TextTest, NumbersIgnoreTheLocaleAndParseLeadingDigits) {
    const char* had = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = had ? had : "C";
    bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(platform::FormatG(0.1), "0.1");
    EXPECT_EQ(platform::FormatG(123456789.0), "1.23457e+08");
    EXPECT_EQ(platform::FormatG(1.5f, "%.9g"), "1.5");
    EXPECT_DOUBLE_EQ(platform::LeadingDouble("2.5abc"), 2.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
    (void)german;
    EXPECT_EQ(platform::LeadingInteger("  -42x"), -42);
    EXPECT_EQ(platform::LeadingInteger("x"), 0);
    EXPECT_EQ(platform::LeadingInteger("+7"), 7);
    EXPECT_EQ(platform::LeadingInteger("99999999999999999999999"), std::numeric_limits<long long>::max());
    EXPECT_EQ(platform::LeadingDouble("none"), 0.0);
}
