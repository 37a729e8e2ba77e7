// The one writer of whole files: what stands under the target's name, and telling a live writer's
// temporary from a dead one's (a full disk: tests/fault).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/AtomicReplace.h"
#include "core/platform/StringTable.h"
#include "tests/support/TestSupport.h"

namespace {

using platform::AtomicReplace;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("."))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class AtomicReplaceTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetLanguage(platform::Language::English); }
    testsupport::TempWorkDir dir_;
};

TEST_F(AtomicReplaceTest, ReplacesARegularFileWholeKeepingItsModeAndRefusesAnythingElse) {
    WriteFileBytes("a.txt", "old");
    ASSERT_EQ(::chmod("a.txt", 0640), 0);
    std::string error = "stale";
    ASSERT_TRUE(platform::ReplaceFile("a.txt", "t", "new", &error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadFileBytes("a.txt"), "new");
    struct stat st {};
    ASSERT_EQ(::stat("a.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A link, dangling or not, is left standing and its target is neither written nor created.
    WriteFileBytes("victim", "precious");
    ASSERT_EQ(::symlink("victim", "link.txt"), 0);
    ASSERT_EQ(::symlink("nowhere", "dangling.txt"), 0);
    ASSERT_EQ(::mkfifo("fifo.txt", 0644), 0);
    EXPECT_FALSE(platform::ReplaceFile("link.txt", "t", "x", &error));
    EXPECT_EQ(error, "link.txt is a symbolic link; it was left as it is.");
    EXPECT_FALSE(platform::ReplaceFile("dangling.txt", "t", "x", &error));
    EXPECT_FALSE(platform::ReplaceFile("fifo.txt", "t", "x", &error));  // and does not wait for a reader
    EXPECT_EQ(error, "fifo.txt is not a regular file; it was left as it is.");
    EXPECT_FALSE(platform::ReplaceFile("missing/b.txt", "t", "x", &error));
    EXPECT_EQ(error, "Cannot create a file in missing: No such file or directory");
    EXPECT_EQ(ReadFileBytes("victim"), "precious");
    EXPECT_FALSE(std::filesystem::exists("nowhere"));
    EXPECT_TRUE(std::filesystem::is_symlink("link.txt"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "dangling.txt", "fifo.txt", "link.txt", "victim"}));

    // A link planted while the file is written stays too.
    AtomicReplace late;
    ASSERT_TRUE(late.Begin("late.txt", "t"));
    ASSERT_TRUE(late.Write("abc", 3));
    ASSERT_EQ(::symlink("victim", "late.txt"), 0);
    EXPECT_FALSE(late.Commit());
    EXPECT_EQ(ReadFileBytes("victim"), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink("late.txt"));
    EXPECT_FALSE(late.Active());
}

TEST_F(AtomicReplaceTest, OnlyTemporariesNoWriterHoldsAreRemovedByTheirExactName) {
    AtomicReplace live;
    ASSERT_TRUE(live.Begin("a.txt", "t"));
    const std::string liveName = std::filesystem::path(live.Temporary()).filename().string();
    for (const char* name : {"a.txt.t-Ab12Cd", "b.txt.t-000000", "a.txt.t-Ab12C", "a.txt.t-Ab12C!", "a.txt.u-Ab12Cd",
                             "a.txt.t-Ab12Cde", "c.txt.t-Ab12Cd", "victim"})
        WriteFileBytes(name, "x");
    ASSERT_EQ(::symlink("victim", "a.txt.t-Link00"), 0);
    const auto ours = [](const std::string& base) { return base == "a.txt" || base == "b.txt"; };
    EXPECT_EQ(platform::RemoveStaleTemporaries(".", "t", ours), 2);
    std::vector<std::string> left = {"a.txt.t-Ab12C",  "a.txt.t-Ab12C!", "a.txt.t-Ab12Cde", "a.txt.t-Link00",
                                     "a.txt.u-Ab12Cd", "c.txt.t-Ab12Cd", liveName,          "victim"};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(Names(), left);
    EXPECT_EQ(ReadFileBytes("victim"), "x");
    // The live writer goes on undisturbed.
    ASSERT_TRUE(live.Write("done", 4));
    ASSERT_TRUE(live.Commit());
    EXPECT_EQ(ReadFileBytes("a.txt"), "done");
}

}  // namespace
