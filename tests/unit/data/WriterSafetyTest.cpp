// Writers of the daily files side by side: the folder lock, a replaced day file, a partial last
// record, stale offsets, non-regular files, stale temporaries, and the standard data history under
// a data folder given for one run only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "config/BaseDataPrm.h"
#include "config/Parameter.h"
#include "data/BaseDataSet.h"
#include "data/SpectrumDataReader.h"
#include "data/SpectrumDataSet.h"
#include "data/SpectrumDataWriter.h"
#include "exchange/VeldDataImporter.h"
#include "platform/AtomicReplace.h"
#include "platform/File.h"
#include "platform/Path.h"
#include "tests/support/DataFolderTest.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace datatest;

namespace {

constexpr const char* kDay = "data/SPC_20090512.hlx";

class WriterSafetyTest : public testsupport::DataFolderTest {
protected:
    void TearDown() override { CParameter::ClearRunOverrides(); }
    static std::vector<CSpectrumData> Day() {
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(2009, 5, 12, day);
        return day;
    }
    static std::vector<std::string> Memos() {
        std::vector<std::string> m;
        for (const auto& r : Day()) m.push_back(r.GetMemo());
        return m;
    }
    static int Append(const CSpectrumData& r) { return CSpectrumDataWriter().AppendRecord(r); }
};

TEST_F(WriterSafetyTest, AppendWaitsWhileAnotherWriterHoldsTheFolder) {
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    auto lock = std::make_unique<platform::FolderLock>("data");
    ASSERT_TRUE(lock->Held());
    std::atomic<bool> done{false};
    std::thread writer([&] {
        EXPECT_EQ(Append(MakeRecord(Local(2009, 5, 12, 11), "b")), 1);
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(done.load());
    EXPECT_EQ(testsupport::FileSize(kDay), 2560);
    // A second writer that will not wait is told the folder is busy.
    platform::FolderLock probe("data", false);
    EXPECT_FALSE(probe.Held());
    EXPECT_FALSE(probe.Acquired());
    lock.reset();
    writer.join();
    EXPECT_EQ(Memos(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(WriterSafetyTest, BatchAppendFollowsADayFileReplacedByRename) {
    CSpectrumDataWriter writer;
    writer.BeginBatch();
    ASSERT_EQ(writer.AppendRecord(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    // What an import does: a complete new file renamed over the day.
    testsupport::WriteFileBytes("data/new", testsupport::ReadFileBytes(kDay));
    ASSERT_EQ(::rename("data/new", kDay), 0);
    ASSERT_EQ(writer.AppendRecord(MakeRecord(Local(2009, 5, 12, 11), "b")), 1);
    writer.EndBatch();
    EXPECT_EQ(Memos(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(WriterSafetyTest, AppendAfterAPartialLastRecordStaysOnTheRecordGrid) {
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    // A writer killed in the middle of its write.
    unsigned char image[2560];
    ASSERT_TRUE(CSpectrumDataWriter::Encode(MakeRecord(Local(2009, 5, 12, 10, 30), "torn"), image));
    std::string bytes = testsupport::ReadFileBytes(kDay);
    bytes.append(reinterpret_cast<const char*>(image), 1000);
    testsupport::WriteFileBytes(kDay, bytes);
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 11), "b")), 1);
    EXPECT_EQ(testsupport::FileSize(kDay), 2 * 2560);
    EXPECT_EQ(Memos(), (std::vector<std::string>{"a", "b"}));
    // The first record is untouched, byte for byte.
    EXPECT_EQ(testsupport::ReadFileBytes(kDay).substr(0, 2560), bytes.substr(0, 2560));
}

TEST_F(WriterSafetyTest, RewritesRefuseAnOffsetWhoseRecordMovedAway) {
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 12), "c")), 1);
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 2);
    // An import merged a record in between since the search: "c" now sits one record later.
    const std::string old = testsupport::ReadFileBytes(kDay);
    unsigned char image[2560];
    ASSERT_TRUE(CSpectrumDataWriter::Encode(MakeRecord(Local(2009, 5, 12, 11), "b"), image));
    testsupport::WriteFileBytes(kDay, old.substr(0, 2560) + std::string(reinterpret_cast<char*>(image), 2560) +
                                          old.substr(2560));
    const std::string merged = testsupport::ReadFileBytes(kDay);

    set.At(1).record.SetMemo("edited");
    EXPECT_EQ(set.Update(1), 0);
    EXPECT_EQ(set.Delete({1}), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(kDay), merged);
    EXPECT_EQ(Memos(), (std::vector<std::string>{"a", "b", "c"}));

    // The entry still at its place is rewritten as before.
    set.At(0).record.SetMemo("first");
    EXPECT_EQ(set.Update(0), 1);
    EXPECT_EQ(set.Delete({0}), 1);
    EXPECT_EQ(Memos(), (std::vector<std::string>{"first", "b", "c"}));
    EXPECT_EQ(Day()[0].GetValid(), 0);
    EXPECT_EQ(Day()[2].GetValid(), 1);
}

TEST_F(WriterSafetyTest, AFifoNamedLikeADayFileIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(kDay, 0644), 0);
    auto attempt = std::async(std::launch::async, [] {
        int opened = 0;
        for (auto mode : {platform::File::Mode::Read, platform::File::Mode::ReadWrite, platform::File::Mode::Append}) {
            platform::File f;
            opened += f.Open(kDay, mode) ? 1 : 0;
        }
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(2009, 5, 12, day);
        return opened + static_cast<int>(day.size()) + Append(MakeRecord(Local(2009, 5, 12, 10)));
    });
    if (attempt.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Release the blocked open so the test can report instead of hanging.
        int r = ::open(kDay, O_RDWR | O_NONBLOCK);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (r >= 0) ::close(r);
        FAIL() << "opening a FIFO blocked";
    }
    EXPECT_EQ(attempt.get(), 0);
}

pid_t EndedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

TEST_F(WriterSafetyTest, StaleTemporariesOfOurOwnNamingAreRemoved) {
    const std::string dead = std::to_string(EndedProcess());
    const std::string self = std::to_string(::getpid());
    const std::vector<std::string> stale = {"ZQ118_BASE.ini.tmp" + dead + ".0", "ZQ118.ini.tmp" + dead + ".3",
                                            "ZQ118.ini.save-Ab12Cd", "data/SPC_20090512.hlx.import-Ab12Cd",
                                            "data/spc_20090513.HLX.import-xY9zW0",
                                            "data/RunTime_20090512_101010.csv.csv-Zz9yX0"};
    // A running save of this process, look-alikes of the user's and other prefixes' day files.
    const std::vector<std::string> kept = {"ZQ118.ini.tmp" + self + ".1", "ZQ118.ini.tmpl", "ZQ118.ini.tmp" + dead + ".x",
                                           "other.ini.save-Ab12Cd", "data/campaign.import-backup",
                                           "data/SPC_20090512.hlx.import-backup1", "data/OLD_20090512.hlx.import-Ab12Cd",
                                           "data/SPC_2009051x.hlx.import-Ab12Cd", "data/notes.csv.csv-backup",
                                           "data/keep.import-1"};
    for (const std::string& name : stale) testsupport::WriteFileBytes(name, "x");
    for (const std::string& name : kept) testsupport::WriteFileBytes(name, "x");
    // An import in progress: its temporary is held, whoever holds the folder.
    platform::AtomicReplace importing;
    ASSERT_TRUE(importing.Begin("data/SPC_20090514.hlx", platform::kImportTag));

    EXPECT_EQ(platform::RemoveStaleTemporaries({"./ZQ118.ini", "./ZQ118_BASE.ini"}, "data", "SPC"), 6);
    for (const std::string& name : stale) EXPECT_FALSE(platform::FileExists(name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(platform::FileExists(name)) << name;
    EXPECT_TRUE(platform::FileExists(importing.Temporary()));
}

TEST_F(WriterSafetyTest, ALinkPlantedAtADayFileIsNeverFollowed) {
    testsupport::WriteFileBytes("victim", "precious");
    ASSERT_EQ(::symlink("../victim", kDay), 0);
    // The append of the day's first record, and an import into that day.
    EXPECT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 0);
    std::string file = exchangetest::HeaderV3() + exchangetest::RecordV3(Local(2009, 5, 12, 11), "imp", 0, 1.0f);
    testsupport::WriteFileBytes("old.srd", file);
    CVeldDataImporter importer("old.srd");
    EXPECT_FALSE(importer.Import(false));
    EXPECT_EQ(importer.FolderError(), "data/SPC_20090512.hlx is a symbolic link; it was left as it is.");
    EXPECT_EQ(testsupport::ReadFileBytes("victim"), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(kDay));

    // A link put in place of a day file after a search: the comment edit does not write through it.
    ASSERT_EQ(::unlink(kDay), 0);
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 1);
    ASSERT_EQ(::rename(kDay, "copy"), 0);
    ASSERT_EQ(::symlink("../copy", kDay), 0);
    const std::string stored = testsupport::ReadFileBytes("copy");
    set.At(0).record.SetMemo("edited");
    EXPECT_EQ(set.Update(0), 0);
    EXPECT_EQ(set.Delete({0}), 0);
    EXPECT_TRUE(testsupport::ReadFileBytes("copy") == stored);
}

TEST_F(WriterSafetyTest, ARunOnlyDataFolderNeverRewritesTheStandardHistory) {
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 11), "b")), 1);
    {
        CBaseDataSet b;
        ASSERT_TRUE(b.Register(Local(2009, 5, 12), 0));
        ASSERT_TRUE(b.Register(Local(2009, 5, 12), 2560));
    }
    const std::string saved = testsupport::ReadFileBytes("ZQ118_BASE.ini");

    ::mkdir("other", 0755);
    CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", "other");
    {
        CBaseDataSet b;  // nothing of the history is readable in "other"
        EXPECT_EQ(b.HistoryCount(), 0);
    }
    EXPECT_EQ(testsupport::ReadFileBytes("ZQ118_BASE.ini"), saved);

    // A change made in that run keeps the entries it could not read.
    testsupport::WriteFileBytes("other/SPC_20090512.hlx", testsupport::ReadFileBytes(kDay).substr(0, 2560));
    {
        CBaseDataSet b;
        ASSERT_EQ(b.HistoryCount(), 1);  // "a" lives at offset 0 there too
        EXPECT_TRUE(b.SetSelectJis(0));
    }
    CParameter::ClearRunOverrides();
    CBaseDataSet b;  // both entries, in their order: "b" is still the current one
    ASSERT_EQ(b.HistoryCount(), 2);
    EXPECT_EQ(b.Current()->GetMemo(), "b");
}

TEST_F(WriterSafetyTest, StandardHistoryChangesReportAFailedSave) {
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    CBaseDataSet b;
    ASSERT_TRUE(b.Register(Local(2009, 5, 12), 0));
    // The history file cannot be replaced: its name is taken by a folder.
    ASSERT_EQ(::unlink("ZQ118_BASE.ini"), 0);
    ASSERT_EQ(::mkdir("ZQ118_BASE.ini", 0755), 0);
    EXPECT_FALSE(b.SetSelectJis(1));
    EXPECT_FALSE(b.Select(1));
    EXPECT_FALSE(b.Register(Local(2009, 5, 12), 0));
    EXPECT_FALSE(b.Remove(0));
}

}  // namespace
