// heliarc-cli runs that once lost data, hung or reported success for a failure.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <sstream>
#include <thread>

#include "core/data/SpectrumDataReader.h"
#include "core/platform/File.h"
#include "core/platform/Path.h"
#include "core/data/SpectrumDataWriter.h"
#include "tests/support/CliRun.h"
#include "tests/support/DataFolderTest.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace exchangetest;

namespace {

using testsupport::CliRun;

// Bounded, so a run that hangs fails the test (status 124) instead of stalling it.
CliRun Cli(const std::string& args, const std::string& prelude = "", const std::string& tag = "") {
    testsupport::CliOptions options;
    options.prelude = prelude;
    options.errFile = "cli-stderr" + tag + ".txt";
    options.timeoutSeconds = 30;
    return testsupport::RunCli(args, options);
}

class CliSafetyTest : public testsupport::DataFolderTest {
protected:
    static std::vector<CSpectrumData> Day(int d = 12) {
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(2009, 5, d, day);
        return day;
    }
    static void Store(int minutes, const std::string& memo) {
        ASSERT_EQ(CSpectrumDataWriter().AppendRecord(InstrumentRecord(Local(2009, 5, 12, 10, minutes), memo, 100.0f)), 1);
    }
};

TEST_F(CliSafetyTest, ImportsBesideAppendsAndOtherImportsLoseNoRecord) {
    constexpr int kFiles = 4, kEach = 100;
    for (int f = 0; f < kFiles; ++f) {
        std::string file = HeaderV3();
        for (int k = 0; k < kEach; ++k) file += RecordV3(Local(2009, 5, 12, 12 + f) + 30 * k, "i" + std::to_string(f));
        testsupport::WriteFileBytes("in" + std::to_string(f) + ".srd", file);
    }
    std::vector<std::thread> runs;
    std::vector<int> status(kFiles, -1);
    for (int f = 0; f < kFiles; ++f)
        runs.emplace_back([&, f] {
            status[static_cast<std::size_t>(f)] =
                Cli(Workdir() + "import in" + std::to_string(f) + ".srd", "", std::to_string(f)).status;
        });
    for (int k = 0; k < kEach; ++k) Store(k, "a");  // a measurement appending meanwhile
    for (auto& t : runs) t.join();
    for (int s : status) EXPECT_EQ(s, 0);
    EXPECT_EQ(Day().size(), static_cast<std::size_t>((kFiles + 1) * kEach));
    EXPECT_EQ(testsupport::FileSize("data/SPC_20090512.hlx") % 2560, 0);
}

TEST_F(CliSafetyTest, ARunOnlyFolderLeavesTheStandardHistoryAsSaved) {
    Store(0, "std");
    ASSERT_EQ(Cli(Workdir() + "standard register 2009/05/12 0").status, 0);
    const std::string saved = testsupport::ReadFileBytes("ZQ118_BASE.ini");
    ::mkdir("elsewhere", 0755);  // records of another day only
    testsupport::WriteFileBytes("elsewhere/SPC_20090513.hlx", testsupport::ReadFileBytes("data/SPC_20090512.hlx"));
    EXPECT_EQ(Cli(Workdir() + "--folder elsewhere export out.csv").status, 0);
    EXPECT_EQ(Cli(Workdir() + "--folder elsewhere --prefix XYZ list").status, 0);
    EXPECT_EQ(testsupport::ReadFileBytes("ZQ118_BASE.ini"), saved);
    const CliRun r = Cli(Workdir() + "standard list");
    EXPECT_NE(r.out.find("\tstd\t"), std::string::npos) << r.out;
}

TEST_F(CliSafetyTest, StandardChangesThatCannotBeSavedFail) {
    Store(0, "std");
    // A disk that takes 1 KiB more: the history file (kept lines and all) cannot be written, the
    // message can.
    testsupport::WriteFileBytes("ZQ118_BASE.ini", "[NOTES]\nTEXT=" + std::string(2000, 'n') + "\n");
    for (const char* command : {"standard register 2009/05/12 0", "standard jis off", "standard jis on"}) {
        const CliRun r = Cli(Workdir() + command, "ulimit -f 1; ");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, "Cannot save the standard data history to ./ZQ118_BASE.ini.\n") << command;
    }
}

TEST_F(CliSafetyTest, AFifoNamedLikeADayFileIsRefusedAndHangsNothing) {
    Store(0, "kept");
    ASSERT_EQ(::mkfifo("data/SPC_20090513.hlx", 0644), 0);
    EXPECT_EQ(Cli(Workdir() + "spectrum 2009/05/13 0").status, 1);
    CliRun r = Cli(Workdir() + "list");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("kept"), std::string::npos);
    EXPECT_EQ(Cli(Workdir() + "export out.csv").status, 0);
    testsupport::WriteFileBytes("f.srd", HeaderV3() + RecordV3(Local(2009, 5, 13, 9), "x"));
    EXPECT_EQ(Cli(Workdir() + "import f.srd").status, 1);
    // A measurement whose day file is a FIFO cannot store its record, and says so.
    std::string today;
    CGeneralPrm general;
    general.Load();
    ASSERT_TRUE(general.DailyFilePath(platform::Now(), today));
    ASSERT_EQ(::mkfifo(("data/" + platform::StoredNameOf(today)).c_str(), 0644), 0);
    r = Cli(Workdir() + "--demo measure --type manual");
    EXPECT_EQ(r.status, 1) << r.out << today;
    EXPECT_NE(r.err.find("Cannot save"), std::string::npos) << r.err;
    struct stat st {};
    ASSERT_EQ(::stat("data/SPC_20090513.hlx", &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(CliSafetyTest, BadPrefixesAndSizesAreUsageErrors) {
    Store(0, "r");
    for (const char* prefix : {"../SPC", "sub/SPC", "C:\\\\x", "\\\\SPC"}) {
        const CliRun r = Cli(Workdir() + "--prefix \"" + prefix + "\" list");
        EXPECT_EQ(r.status, 2) << prefix;
    }
    for (const char* size : {"-4294967196x100", "100x-4294967196", "0x100", "4294967396x100", "30001x10", "x", "10x"}) {
        const CliRun r = Cli(Workdir() + "render spectrum --size " + size + " out.png");
        EXPECT_EQ(r.status, 2) << size;
    }
    EXPECT_LT(testsupport::FileSize("out.png"), 0);
    EXPECT_EQ(Cli(Workdir() + "render spectrum --size 120x90 out.png").status, 0);
}

TEST_F(CliSafetyTest, AFailedRenderLeavesTheEarlierPictureAndNoTemporary) {
    Store(0, "r");
    testsupport::WriteFileBytes("out.png", "earlier");
    testsupport::WriteFileBytes("out.bmp", "earlier");
    // A disk that is full after 4 KiB; the write fails instead of killing the process, also with
    // SIGXFSZ at its default (the program ignores it itself).
    for (const char* out : {"out.png", "out.bmp"}) {
        const CliRun r = Cli(Workdir() + "render spectrum " + out, "trap - XFSZ; ulimit -f 4; ");
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_EQ(testsupport::ReadFileBytes(out), "earlier");
    }
    const CliRun ls = Cli(Workdir() + "list");  // leaves the folder as it was
    for (const auto& e : std::filesystem::directory_iterator("."))
        EXPECT_EQ(e.path().filename().string().find(".render-"), std::string::npos) << e.path();
}

TEST_F(CliSafetyTest, OutOfRangeGraphSettingsAreDrawnClamped) {
    Store(0, "r");
    testsupport::WriteFileBytes("ZQ118.ini", testsupport::ReadFileBytes("ZQ118.ini") +
                                                 "[DATA_GRAPH]\nSHOW_INTEGRATION=1\nRANGE_MIN_INTEGRATION=-3e9\n"
                                                 "RANGE_MAX_INTEGRATION=3e9\n"
                                                 "[NUMERICAL_GRAPH]\nMIN_INTEGRATION_AREA=-3e9\n"
                                                 "MAX_INTEGRATION_AREA=nan\n");
    Store(1, "s");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Cli(Workdir() + "render spectrum out.png").status, 0);
    EXPECT_EQ(Cli(Workdir() + "render numerical out2.png").status, 0);
    // Not a timing test: the unclamped loop ran for most of a minute, past the 30 s bound above.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST_F(CliSafetyTest, DeleteAndCommentRewriteTheSelectedRecordsInPlace) {
    Store(0, "a");
    Store(1, "b");
    Store(2, "c");
    EXPECT_EQ(Cli(Workdir() + "delete").status, 2);  // never every record by accident
    EXPECT_EQ(Cli(Workdir() + "comment new").status, 2);
    EXPECT_EQ(Cli(Workdir() + "comment --from \"2009/05/12 10:01:00\"").status, 2);
    EXPECT_EQ(Cli(Workdir() + "comment \"$(printf '\\203e')\" --comment b").status, 2);  // CP932, no UTF-8
    EXPECT_EQ(Cli(Workdir() + "comment edited --from \"2009/05/12 10:01:00\"").status, 0);
    EXPECT_EQ(Cli(Workdir() + "delete --comment a").status, 0);
    const auto day = Day();
    ASSERT_EQ(day.size(), 3u);
    EXPECT_EQ(day[0].GetValid(), 0);
    EXPECT_EQ(day[1].GetMemo(), "edited");
    EXPECT_EQ(day[2].GetMemo(), "edited");
    EXPECT_EQ(testsupport::FileSize("data/SPC_20090512.hlx"), 3 * 2560);
    const CliRun r = Cli(Workdir() + "list");
    EXPECT_EQ(r.out.find("\ta\t"), std::string::npos) << r.out;
}

// True once a process waits for the flock on the folder (a "->" line of /proc/locks names it).
bool SomeoneWaitsForTheLockOf(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return false;
    const std::string inode = ":" + std::to_string(st.st_ino) + " ";
    std::istringstream locks(testsupport::ReadFileBytes("/proc/locks"));
    for (std::string line; std::getline(locks, line);)
        if (line.find("-> FLOCK") != std::string::npos && line.find(inode) != std::string::npos) return true;
    return false;
}

// The selection was found, then another writer changed two of its records before the rewrite got
// the folder's lock: those two stay as that writer left them, the others change, and each refused
// record is named.
TEST_F(CliSafetyTest, CommentLeavesRecordsChangedSinceTheSelectionAndNamesThem) {
    for (int m = 0; m < 4; ++m) Store(m, "r" + std::to_string(m));
    auto lock = std::make_unique<platform::FolderLock>("data");
    auto run = std::async(std::launch::async, [this] { return Cli(Workdir() + "comment mine --comment r"); });
    for (int i = 0; i < 3000 && !SomeoneWaitsForTheLockOf("data"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(SomeoneWaitsForTheLockOf("data"));
    std::string bytes = testsupport::ReadFileBytes("data/SPC_20090512.hlx");
    bytes[2560 + 280] = 0;  // 10:01 deleted
    unsigned char image[2560];
    ASSERT_TRUE(CSpectrumDataWriter::Encode(InstrumentRecord(Local(2009, 5, 12, 10, 2), "r2", 555.0f), image));
    bytes.replace(2 * 2560, 2560, reinterpret_cast<const char*>(image), 2560);  // 10:02 measured anew
    testsupport::WriteFileBytes("data/SPC_20090512.hlx", bytes);
    lock.reset();

    const CliRun r = run.get();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Update data failure.\n"
              "The record of 2009/05/12 10:02:00 in data/SPC_20090512.hlx (byte 5120) was left as it was: it was "
              "changed since it was listed, or another record is stored there now.\n"
              "The record of 2009/05/12 10:01:00 in data/SPC_20090512.hlx (byte 2560) was left as it was: it was "
              "deleted since it was listed.\n"
              "2 of 4 records were changed.\n");
    std::string expected = bytes;
    for (int k : {0, 3}) expected.replace(static_cast<std::size_t>(k) * 2560 + 216, 64, std::string("mine") + std::string(60, '\0'));
    EXPECT_TRUE(testsupport::ReadFileBytes("data/SPC_20090512.hlx") == expected);
}

TEST_F(CliSafetyTest, MistypedSelectionsAreUsageErrorsThatChangeNothing) {
    Store(0, "a");
    Store(1, "b");
    ASSERT_EQ(CSpectrumDataWriter().AppendRecord(InstrumentRecord(Local(2040, 6, 1, 12), "late", 100.0f)), 1);
    const std::string day = testsupport::ReadFileBytes("data/SPC_20090512.hlx");
    const std::string late = testsupport::ReadFileBytes("data/SPC_20400601.hlx");
    for (const char* command : {"delete", "comment x", "list", "export out.csv", "render spectrum out.png"}) {
        for (const char* option : {"--from", "--to"}) {
            // Words, other date orders, a missing day, no such day, and years a search would clamp
            // (2041 once deleted the record of 2040).
            for (const char* text : {"yesterday", "next week", "12.05.2009", "2009/5", "2009/5/12/10", "2009/4/31",
                                     "2009/5/12 24:00", "2041/1/1", "1999/12/31", ""}) {
                const std::string what = std::string(command) + " " + option + " '" + text + "'";
                const CliRun r = Cli(Workdir() + what);
                EXPECT_EQ(r.status, 2) << what;
                EXPECT_NE(r.err.find(option), std::string::npos) << what << ": " << r.err;
                if (*text) {
                    EXPECT_NE(r.err.find("YYYY/MM/DD HH:MM:SS"), std::string::npos) << what << ": " << r.err;
                }
                EXPECT_TRUE(r.out.empty()) << what;
            }
        }
    }
    EXPECT_EQ(Cli(Workdir() + "delete --comment ''").status, 2);
    EXPECT_EQ(Cli(Workdir() + "delete --from 2009/5/12 --from 2041/1/1").status, 2);
    EXPECT_EQ(testsupport::ReadFileBytes("data/SPC_20090512.hlx"), day);
    EXPECT_EQ(testsupport::ReadFileBytes("data/SPC_20400601.hlx"), late);
    EXPECT_LT(testsupport::FileSize("out.csv"), 0);
    EXPECT_LT(testsupport::FileSize("out.png"), 0);
    // The ISO form names its day too.
    const CliRun r = Cli(Workdir() + "list --from 2009-05-12 --to '2009/05/12 10:00'");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\ta\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\tb\t"), std::string::npos) << r.out;
}

// Settings that could not be read ran on defaults: a measurement was stored into the working
// folder and "standard list" pruned the whole history. An unusable file name ID wrote outside the
// data folder.
TEST_F(CliSafetyTest, SettingsThatCannotBeUsedStopTheRunAndChangeNothing) {
    Store(0, "r");
    ASSERT_EQ(Cli(Workdir() + "standard register 2009/05/12 0").status, 0);
    const std::string history = testsupport::ReadFileBytes("ZQ118_BASE.ini");
    const auto dayFilesHere = [] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(".")) n += e.path().extension() == ".hlx";
        return n;
    };
    for (const char* name : {"ZQ118.ini", "ZQ118_BASE.ini"}) {
        ASSERT_EQ(::rename(name, "kept.ini"), 0);
        ASSERT_EQ(::mkdir(name, 0755), 0);
        for (const char* command : {"--demo measure --type manual", "standard list", "list"}) {
            const CliRun r = Cli(Workdir() + command);
            EXPECT_EQ(r.status, 1) << name << " " << command;
            EXPECT_NE(r.err.find(std::string("/") + name + ": Is a directory"), std::string::npos) << r.err;
        }
        ASSERT_EQ(::rmdir(name), 0);
        ASSERT_EQ(::rename("kept.ini", name), 0);
    }
    EXPECT_EQ(testsupport::ReadFileBytes("ZQ118_BASE.ini"), history);
    EXPECT_EQ(dayFilesHere(), 0);

    datatest::SetGeneral("data", "../SPC");
    const CliRun r = Cli(Workdir() + "--demo measure --type manual");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"../SPC\""), std::string::npos) << r.err;
    EXPECT_EQ(dayFilesHere(), 0);
    EXPECT_EQ(Cli(Workdir() + "--prefix .. list").status, 2);
    EXPECT_EQ(Cli(Workdir() + "--prefix SPC list").status, 0);  // this run's prefix holds instead
    EXPECT_EQ(testsupport::ReadFileBytes("ZQ118_BASE.ini"), history);
}

TEST_F(CliSafetyTest, TemporariesOfKilledRunsAreRemovedAtStart) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);  // a process that has ended
    const std::string ini = "ZQ118_BASE.ini.tmp" + std::to_string(pid) + ".0";
    testsupport::WriteFileBytes(ini, "half");
    testsupport::WriteFileBytes("data/SPC_20090512.hlx.import-q1w2e3", std::string(5000, 'x'));
    Store(0, "r");
    EXPECT_EQ(Cli(Workdir() + "list").status, 0);
    EXPECT_LT(testsupport::FileSize(ini), 0);
    EXPECT_LT(testsupport::FileSize("data/SPC_20090512.hlx.import-q1w2e3"), 0);
    EXPECT_EQ(Day().size(), 1u);
}

}  // namespace
