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
#include <future>
#include <thread>

#include "config/BaseDataPrm.h"
#include "config/Parameter.h"
#include "data/BaseDataSet.h"
#include "data/SpectrumDataReader.h"
#include "data/SpectrumDataSet.h"
#include "data/SpectrumDataWriter.h"
#include "platform/File.h"
#include "platform/Path.h"
#include "tests/support/DataFolderTest.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

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
    for (const std::string& name : std::vector<std::string>{
             "ZQ118_BASE.ini.tmp" + dead + ".0", "ZQ118.ini.tmp" + dead + ".3", "ZQ118.ini.tmp" + self + ".1",
             "ZQ118.ini.tmpl", "ZQ118.ini.tmp" + dead + ".x", "data/SPC_20090512.hlx.import-Ab12Cd",
             "data/keep.import-1"})
        testsupport::WriteFileBytes(name, "x");

    // While an import holds the folder its temporary file is its own.
    {
        platform::FolderLock importing("data");
        EXPECT_EQ(platform::RemoveStaleTemporaries({"./ZQ118.ini", "./ZQ118_BASE.ini"}, "data"), 2);
        EXPECT_TRUE(platform::FileExists("data/SPC_20090512.hlx.import-Ab12Cd"));
    }
    EXPECT_EQ(platform::RemoveStaleTemporaries({"./ZQ118.ini", "./ZQ118_BASE.ini"}, "data"), 1);
    EXPECT_FALSE(platform::FileExists("ZQ118_BASE.ini.tmp" + dead + ".0"));
    EXPECT_FALSE(platform::FileExists("ZQ118.ini.tmp" + dead + ".3"));
    EXPECT_FALSE(platform::FileExists("data/SPC_20090512.hlx.import-Ab12Cd"));
    // A save of this (running) process, and names that are not ours, stay.
    EXPECT_TRUE(platform::FileExists("ZQ118.ini.tmp" + self + ".1"));
    EXPECT_TRUE(platform::FileExists("ZQ118.ini.tmpl"));
    EXPECT_TRUE(platform::FileExists("ZQ118.ini.tmp" + dead + ".x"));
    EXPECT_TRUE(platform::FileExists("data/keep.import-1"));
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
