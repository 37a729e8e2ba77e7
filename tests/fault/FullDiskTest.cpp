// Every writer on a full disk, played by a file-size limit (RLIMIT_FSIZE) in a child process: it
// holds for root too, needs no mount, and with SIGXFSZ ignored a write past it fails like one on a
// full filesystem, after writing what still fitted. Each writer must say it failed, leave nothing
// half written under the real name, and keep what was stored before.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "core/config/GeneralPrm.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/graph/DIB.h"
#include "core/platform/IniFile.h"
#include "core/platform/Path.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace exchangetest;

namespace {

constexpr int kRecord = CSpectrumDataWriter::kRecordSize;

// In the child: a full disk after `limit` bytes of any file.
void LimitFileSize(long long limit) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit rl{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(99);
}

// Runs body in a child with the limit; its result is the child's exit status.
int InLimitedChild(long long limit, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        LimitFileSize(limit);
        ::_exit(body());
    }
    int st = 0;
    ::waitpid(pid, &st, 0);
    return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}

struct CliRun {
    int status = -1;
    std::string err;
};

// heliarc-cli in the working folder under the limit. Its standard error goes to a pipe, which the
// limit does not touch.
CliRun CliLimited(long long limit, const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::dup2(fds[1], 2);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        if (limit > 0) LimitFileSize(limit);
        std::vector<std::string> all = {std::string(HELIARC_BINARY_DIR) + "/cli/heliarc-cli"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    CliRun r;
    char buf[1024];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0) r.err.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int st = 0;
    ::waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return r;
}

// Files in folder whose name holds part (temporaries left behind).
std::vector<std::string> FilesWith(const std::string& folder, const std::string& part) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename().string().find(part) != std::string::npos) found.push_back(e.path().string());
    return found;
}

class FullDiskTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    std::string day_;  // the day file of 2026/12/08

    void SetUp() override {
        ::mkdir("data", 0755);
        SetGeneral("data", "T");
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.WriteAll({InstrumentRecord(Local(2026, 12, 8, 10), "first", 100.0f),
                                   InstrumentRecord(Local(2026, 12, 8, 11), "second", 200.0f),
                                   InstrumentRecord(Local(2026, 12, 8, 12), "third", 300.0f)}),
                  1);
        day_ = "data/T_20261208.hlx";
        ASSERT_EQ(testsupport::FileSize(day_), 3 * kRecord);
    }
    std::string Wd() const { return dir_.Path(); }
};

}  // namespace

TEST_F(FullDiskTest, AppendLeavesTheDayFileWholeAndSaysSo) {
    const std::string before = testsupport::ReadFileBytes(day_);
    // Room for part of a fourth record only.
    const int rc = InLimitedChild(3 * kRecord + 1000, [] {
        CSpectrumDataWriter writer;
        return writer.AppendRecord(InstrumentRecord(Local(2026, 12, 8, 13), "fourth", 400.0f));
    });
    EXPECT_EQ(rc, 0) << "the append reported success";
    EXPECT_TRUE(testsupport::ReadFileBytes(day_) == before) << "stored records changed";

    // The same through a measurement: the run fails with the storing message.
    ::setenv("HELIARC_SIM_SUN_HOUR", "12", 1);
    CliRun first = CliLimited(0, {"--workdir", Wd(), "--demo", "measure", "--type", "manual"});
    ASSERT_EQ(first.status, 0) << first.err;
    std::string today;
    CGeneralPrm general;
    general.Load();
    ASSERT_TRUE(general.DailyFilePath(static_cast<platform::CalTime>(::time(nullptr)), today));
    today = platform::MapPath(today);
    ASSERT_GT(testsupport::FileSize(today), 0);
    const std::string stored = testsupport::ReadFileBytes(today);
    CliRun full = CliLimited(static_cast<long long>(stored.size()) + 1000,
                             {"--workdir", Wd(), "--demo", "measure", "--type", "manual"});
    std::string after;
    ASSERT_TRUE(general.DailyFilePath(static_cast<platform::CalTime>(::time(nullptr)), after));
    if (platform::MapPath(after) != today) GTEST_SKIP() << "the day changed between the two runs";
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("Cannot save the data"), std::string::npos) << full.err;
    EXPECT_TRUE(testsupport::ReadFileBytes(today) == stored) << "stored records changed";
}

TEST_F(FullDiskTest, InPlaceRewritesNeverTearARecord) {
    const std::string before = testsupport::ReadFileBytes(day_);
    // A rewrite writes the one field it changes: the limit cuts through the third record's comment,
    // then through its deleted flag, so each could only be written in part.
    int rc = InLimitedChild(2 * kRecord + 216 + 10, [] {
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, nullptr);
        if (set.Count() != 3) return 9;
        set.At(2).Memo = "edited comment";
        return set.Update(2);
    });
    EXPECT_EQ(rc, 0) << "the comment edit reported success";
    EXPECT_TRUE(testsupport::ReadFileBytes(day_) == before) << "stored records changed";

    rc = InLimitedChild(2 * kRecord + 280 + 2, [] {
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, nullptr);
        if (set.Count() != 3) return 9;
        return set.Delete({2});
    });
    EXPECT_EQ(rc, 0) << "the deletion reported success";
    EXPECT_TRUE(testsupport::ReadFileBytes(day_) == before) << "stored records changed";
    // Below the limit the same rewrite works: the file was left usable.
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 3);
    set.At(0).Memo = "edited";
    EXPECT_EQ(set.Update(0), 1);
}

TEST_F(FullDiskTest, ImportKeepsEveryStoredDay) {
    const std::string before = testsupport::ReadFileBytes(day_);
    std::string file = HeaderV3();
    for (int i = 0; i < 4; ++i) file += RecordV3(Local(2026, 12, 8, 14, i), "imp", 0, 10.0f * i);
    testsupport::WriteFileBytes("old.srd", file);
    // The merged day (seven records) cannot be written; the source file itself is below the limit.
    CliRun r = CliLimited(5 * kRecord, {"--workdir", Wd(), "import", "old.srd"});
    EXPECT_EQ(r.status, 1);
    // The file is fine; the message sends the user to the data folder.
    EXPECT_EQ(r.err, "Import failure. Check the file. (old.srd)\nCannot save the data. Confirm the output folder.\n"
                     "Cannot write data/T_20261208.hlx: File too large\n");
    EXPECT_TRUE(testsupport::ReadFileBytes(day_) == before) << "stored records changed";
    EXPECT_TRUE(FilesWith("data", ".import-").empty());
    // With room it goes through.
    r = CliLimited(0, {"--workdir", Wd(), "import", "old.srd"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testsupport::FileSize(day_), 7 * kRecord);
}

TEST_F(FullDiskTest, ExportKeepsAnEarlierFileOfTheName) {
    testsupport::WriteFileBytes("out.csv", "an earlier export\r\n");
    CliRun r = CliLimited(3000, {"--workdir", Wd(), "export", "out.csv", "--type", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Export failure"), std::string::npos) << r.err;
    EXPECT_EQ(testsupport::ReadFileBytes("out.csv"), "an earlier export\r\n");
    EXPECT_TRUE(FilesWith(".", "out.csv.").empty());
    // A new name: nothing at all is left.
    r = CliLimited(3000, {"--workdir", Wd(), "export", "new.csv", "--type", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists("new.csv"));
    EXPECT_TRUE(FilesWith(".", "new.csv").empty());
    // With room the earlier file is replaced whole, keeping its permissions.
    ::chmod("out.csv", 0640);
    r = CliLimited(0, {"--workdir", Wd(), "export", "out.csv", "--type", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(testsupport::FileSize("out.csv"), 3000);
    struct stat st {};
    ASSERT_EQ(::stat("out.csv", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A full disk at any point of a large export fails it whole.
TEST_F(FullDiskTest, LargeExportFailsWholeWhereverTheDiskFills) {
    std::vector<CSpectrumData> more;
    for (int i = 0; i < 100; ++i)
        more.push_back(InstrumentRecord(Local(2026, 12, 9, 0) + 60 * i, "m" + std::to_string(i), 10.0f * static_cast<float>(i + 1)));
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.WriteAll(more), 1);
    const std::vector<std::string> args = {"--workdir", Wd(), "export", "big.csv", "--type", "0", "--step", "1"};
    CliRun r = CliLimited(0, args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string whole = testsupport::ReadFileBytes("big.csv");
    ASSERT_GT(whole.size(), 300000u);
    testsupport::WriteFileBytes("big.csv", "an earlier export\r\n");
    for (long long limit : {70000LL, 200000LL, static_cast<long long>(whole.size()) / 2, static_cast<long long>(whole.size()) - 1}) {
        r = CliLimited(limit, args);
        EXPECT_EQ(r.status, 1) << limit;
        EXPECT_EQ(testsupport::ReadFileBytes("big.csv"), "an earlier export\r\n") << limit;
        EXPECT_TRUE(FilesWith(".", "big.csv.").empty()) << limit;
    }
    r = CliLimited(static_cast<long long>(whole.size()), args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testsupport::ReadFileBytes("big.csv"), whole);
}

// A graph window's "Save as BMP..." and the command line's pictures.
TEST_F(FullDiskTest, PictureSavesKeepAnEarlierPictureOfTheName) {
    const std::string earlier = "an earlier picture";
    testsupport::WriteFileBytes("graph.bmp", earlier);
    const int rc = InLimitedChild(100000, [] {
        CDIB dib;
        if (!dib.Allocate(700, 500, 24, 0)) return 9;
        std::string error;
        if (dib.SaveFile("graph.bmp", &error)) return 1;
        return error == "Cannot write graph.bmp: File too large" ? 0 : 2;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(testsupport::ReadFileBytes("graph.bmp") == earlier);
    EXPECT_TRUE(FilesWith(".", "graph.bmp.").empty());

    for (const char* name : {"spectrum.bmp", "spectrum.png"}) {
        testsupport::WriteFileBytes(name, earlier);
        CliRun r = CliLimited(1000, {"--workdir", Wd(), "render", "spectrum", "--size", "800x600", name});
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find("Bitmap saving failure.\nCannot write " + std::string(name) + ": File too large\n"),
                  std::string::npos) << r.err;
        EXPECT_TRUE(testsupport::ReadFileBytes(name) == earlier) << name;
        EXPECT_TRUE(FilesWith(".", std::string(name) + ".").empty());
        r = CliLimited(0, {"--workdir", Wd(), "render", "spectrum", "--size", "800x600", name});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_GT(testsupport::FileSize(name), 1000);
    }
}

TEST_F(FullDiskTest, IniSaveKeepsTheFileAsItWas) {
    const std::string before = testsupport::ReadFileBytes("ZQ118.ini") + "[PAD]\nKEY=" + std::string(3000, 'p') + "\n";
    testsupport::WriteFileBytes("ZQ118.ini", before);
    const int rc = InLimitedChild(2000, [] {
        platform::IniFile ini("./ZQ118.ini");
        if (!ini.Load()) return 9;
        ini.Set("GENERAL", "FILE_NAME_ID", "CHANGED");
        if (ini.Save()) return 1;
        CGeneralPrm general;
        general.Load();
        general.m_FILE_NAME_ID = "CHANGED";
        return general.Save() ? 1 : 0;
    });
    EXPECT_EQ(rc, 0) << "a save reported success";
    EXPECT_EQ(testsupport::ReadFileBytes("ZQ118.ini"), before);
    EXPECT_TRUE(FilesWith(".", "ZQ118.ini.").empty());
}

TEST_F(FullDiskTest, StandardHistorySaveFailsLoudlyAndKeepsTheHistory) {
    CliRun r = CliLimited(0, {"--workdir", Wd(), "standard", "register", "2026/12/08", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string before = testsupport::ReadFileBytes("ZQ118_BASE.ini");
    ASSERT_FALSE(before.empty());
    r = CliLimited(100, {"--workdir", Wd(), "standard", "register", "2026/12/08", "2560"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot save the standard data"), std::string::npos) << r.err;
    EXPECT_EQ(testsupport::ReadFileBytes("ZQ118_BASE.ini"), before);
    EXPECT_TRUE(FilesWith(".", "ZQ118_BASE.ini.").empty());
}
