// Writers of the daily files side by side: the folder lock, a replaced day file, a partial last
// record, stale offsets, non-regular files, stale temporaries, and the standard data history under
// a data folder given for one run only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <future>
#include <mutex>
#include <thread>

#include "core/config/BaseDataPrm.h"
#include "core/config/Parameter.h"
#include "core/data/BaseDataSet.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/exchange/VeldDataImporter.h"
#include "core/platform/AtomicReplace.h"
#include "core/platform/File.h"
#include "core/platform/Path.h"
#include "tests/support/DataFolderTest.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace datatest;

// Every sync of this test program passes here on its way to the kernel, so a test can see which
// files and folders were synced.
namespace {
std::mutex g_syncMutex;
std::vector<std::pair<ino_t, bool>> g_synced;  // inode, and whether it was a folder
void NoteSync(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return;
    std::lock_guard<std::mutex> lock(g_syncMutex);
    g_synced.emplace_back(st.st_ino, S_ISDIR(st.st_mode));
}
}  // namespace

extern "C" int fdatasync(int fd) {
    NoteSync(fd);
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

extern "C" int fsync(int fd) {
    NoteSync(fd);
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

// Opens too: armed with a file, the next open of a day file for reading first renames that file
// over it, as an import may at any moment.
namespace {
const char* g_replacement = nullptr;  // plain data: opens come before any constructor has run
int OpenFile(const char* path, int flags, va_list args) {
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
    const std::size_t n = std::strlen(path);
    if (g_replacement && (flags & O_ACCMODE) == O_RDONLY && n > 4 && std::strcmp(path + n - 4, ".hlx") == 0) {
        (void)::rename(g_replacement, path);
        g_replacement = nullptr;
    }
    return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}
}  // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = OpenFile(path, flags, args);
    va_end(args);
    return fd;
}

extern "C" int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = OpenFile(path, flags, args);
    va_end(args);
    return fd;
}

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
    // A second writer that will not wait is told the folder is busy, in this thread too; one that
    // joins a hold of this thread (the history's lock in the data folder) shares it.
    platform::FolderLock probe("data", false);
    EXPECT_FALSE(probe.Held());
    EXPECT_FALSE(probe.Acquired());
    platform::FolderLock joined("./data", false, true);
    EXPECT_TRUE(joined.Held());
    joined.Release();
    lock.reset();
    writer.join();
    EXPECT_EQ(Memos(), (std::vector<std::string>{"a", "b"}));
}

// A record reported stored must survive a power cut: its day file is synced before the append
// returns, and the folder too when the append created the file (else the name may be lost).
TEST_F(WriterSafetyTest, AnAppendSyncsTheDayFileAndANewFilesFolder) {
    auto synced = [] {
        std::lock_guard<std::mutex> lock(g_syncMutex);
        auto all = g_synced;
        g_synced.clear();
        return all;
    };
    struct stat folder {};
    ASSERT_EQ(::stat("data", &folder), 0);
    synced();
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    struct stat day {};
    ASSERT_EQ(::stat(kDay, &day), 0);
    using Synced = std::vector<std::pair<ino_t, bool>>;
    EXPECT_EQ(synced(), (Synced{{day.st_ino, false}, {folder.st_ino, true}}));
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 11), "b")), 1);
    EXPECT_EQ(synced(), (Synced{{day.st_ino, false}}));
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

// A search finds the files' sizes first and reads them after; a file replaced in between holds its
// records elsewhere, and is read again whole.
TEST_F(WriterSafetyTest, ASearchReadsADayFileReplacedWhileItSearchedWhole) {
    ASSERT_EQ(CSpectrumDataWriter().WriteAll({MakeRecord(Local(2009, 5, 12, 10), "a"),
                                              MakeRecord(Local(2009, 5, 12, 11), "b")}),
              1);
    const std::string before = testsupport::ReadFileBytes(kDay);
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 9), "x")), 1);
    const std::string three = testsupport::ReadFileBytes(kDay);
    testsupport::WriteFileBytes(kDay, before);
    testsupport::WriteFileBytes("data/new", three.substr(2 * 2560) + before);  // x merged in first
    g_replacement = "data/new";
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(g_replacement, nullptr);
    std::vector<std::string> memos;
    for (int i = 0; i < set.Count(); ++i) memos.push_back(set.At(i).Memo);
    EXPECT_EQ(memos, (std::vector<std::string>{"x", "a", "b"}));
}

TEST_F(WriterSafetyTest, AppendAfterAPartialLastRecordStaysOnTheRecordGrid) {
    ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, 10), "a")), 1);
    // A writer killed in the middle of its write.
    unsigned char image[2560];
    ASSERT_TRUE(CSpectrumDataWriter::Encode(MakeRecord(Local(2009, 5, 12, 10, 30), "torn"), image));
    std::string bytes = testsupport::ReadFileBytes(kDay);
    bytes.append(reinterpret_cast<const char*>(image), 1000);
    testsupport::WriteFileBytes(kDay, bytes);
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(MakeRecord(Local(2009, 5, 12, 11), "b")), 1);
    EXPECT_EQ(writer.LastAppendOffset(), 2560);  // where the torn record began
    EXPECT_EQ(testsupport::FileSize(kDay), 2 * 2560);
    EXPECT_EQ(Memos(), (std::vector<std::string>{"a", "b"}));
    // The first record is untouched, byte for byte.
    EXPECT_EQ(testsupport::ReadFileBytes(kDay).substr(0, 2560), bytes.substr(0, 2560));
}

// A copy tool left the start of a record between whole ones: the records after it sit 1000 bytes
// off the grid, and the grid alone would read the start glued to the next record's head.
TEST_F(WriterSafetyTest, APartialRecordInTheMiddleIsReadAroundAndNeverCut) {
    for (int h = 10; h < 16; ++h) ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, h), "m" + std::to_string(h))), 1);
    unsigned char image[2560];
    ASSERT_TRUE(CSpectrumDataWriter::Encode(MakeRecord(Local(2009, 5, 12, 11, 30), "torn"), image));
    std::string bytes = testsupport::ReadFileBytes(kDay);
    bytes.insert(2 * 2560, reinterpret_cast<const char*>(image), 1000);
    testsupport::WriteFileBytes(kDay, bytes);
    const std::vector<std::string> whole = {"m10", "m11", "m12", "m13", "m14", "m15"};

    EXPECT_EQ(Memos(), whole);
    for (const char* comment : {static_cast<const char*>(nullptr), "m"}) {  // both ways a search reads
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, comment);
        std::vector<std::string> memos;
        for (int i = 0; i < set.Count(); ++i) memos.push_back(set.At(i).Memo);
        EXPECT_EQ(memos, whole);
        ASSERT_EQ(set.Count(), 6);
        EXPECT_EQ(set.At(2).FileOffset, 2 * 2560 + 1000);
        ASSERT_EQ(set.DamageNotes().size(), 1u);
        EXPECT_EQ(set.DamageNotes()[0], "data/SPC_20090512.hlx is damaged: a partial record of 1000 bytes at byte 5120, "
                                        "with whole records after it. The whole records are listed; nothing is cut off.");
    }
    // A rewrite finds its record off the grid; an append cuts nothing and stays in step.
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(set.SetComment({3}, "edited"), 1);
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(MakeRecord(Local(2009, 5, 12, 17), "m17")), 1);
    EXPECT_EQ(writer.LastAppendOffset(), static_cast<int64_t>(bytes.size()));
    const std::string after = testsupport::ReadFileBytes(kDay);
    ASSERT_EQ(after.size(), bytes.size() + 2560);
    EXPECT_EQ(after.substr(0, 3 * 2560 + 1000), bytes.substr(0, 3 * 2560 + 1000));
    EXPECT_EQ(Memos(), (std::vector<std::string>{"m10", "m11", "m12", "edited", "m14", "m15", "m17"}));
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

    set.At(1).Memo = "edited";
    EXPECT_EQ(set.Update(1), 0);
    EXPECT_EQ(set.Delete({1}), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(kDay), merged);
    EXPECT_EQ(Memos(), (std::vector<std::string>{"a", "b", "c"}));

    // The entry still at its place is rewritten as before.
    set.At(0).Memo = "first";
    EXPECT_EQ(set.Update(0), 1);
    EXPECT_EQ(set.Delete({0}), 1);
    EXPECT_EQ(Memos(), (std::vector<std::string>{"first", "b", "c"}));
    EXPECT_EQ(Day()[0].GetValid(), 0);
    EXPECT_EQ(Day()[2].GetValid(), 1);
}

// Two lists of the same records, as two programs (or a browser and the CLI) hold them: what one
// changed must survive the other's rewrites from its older list.
TEST_F(WriterSafetyTest, RewritesFromAStaleListChangeOneFieldOfRecordsStillAsListed) {
    for (int h = 10; h < 14; ++h) ASSERT_EQ(Append(MakeRecord(Local(2009, 5, 12, h), "m" + std::to_string(h))), 1);
    CSpectrumDataSet stale, other;
    stale.Search(nullptr, nullptr, nullptr);
    other.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(stale.Count(), 4);
    // Meanwhile: 10:00 deleted, 11:00 commented, 12:00 replaced by newer data (an overwriting import).
    ASSERT_EQ(other.Delete({0}), 1);
    ASSERT_EQ(other.SetComment({0}, "theirs"), 1);
    unsigned char image[2560];
    ASSERT_TRUE(CSpectrumDataWriter::Encode(MakeRecord(Local(2009, 5, 12, 12), "m12", 999.0f), image));
    std::string bytes = testsupport::ReadFileBytes(kDay);
    bytes.replace(2 * 2560, 2560, reinterpret_cast<const char*>(image), 2560);
    testsupport::WriteFileBytes(kDay, bytes);

    std::vector<CSpectrumDataSet::Refused> refused;
    EXPECT_EQ(stale.SetComment({0, 1, 2, 3}, "mine", &refused), 0);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].index, 2);
    EXPECT_NE(refused[0].message.find("2009/05/12 12:00:00 in data/SPC_20090512.hlx (byte 5120)"), std::string::npos)
        << refused[0].message;
    EXPECT_NE(refused[0].message.find("changed since it was listed"), std::string::npos) << refused[0].message;
    EXPECT_EQ(refused[1].index, 0);
    EXPECT_NE(refused[1].message.find("deleted since it was listed"), std::string::npos) << refused[1].message;
    // Only the comments of 11:00 and 13:00 changed, byte for byte; the list knows it.
    std::string expected = bytes;
    for (int k : {1, 3}) expected.replace(k * 2560 + 216, 64, std::string("mine") + std::string(60, '\0'));
    EXPECT_TRUE(testsupport::ReadFileBytes(kDay) == expected);
    EXPECT_EQ(stale.At(0).Memo, "m10");
    EXPECT_EQ(stale.At(1).Memo, "mine");

    // The other list's 11:00 and 13:00 now carry a comment the file no longer has; 12:00 changed.
    refused.clear();
    EXPECT_EQ(other.Delete({0, 1, 2}, &refused), 0);
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_NE(refused[0].message.find("its comment was changed"), std::string::npos) << refused[0].message;
    EXPECT_NE(refused[1].message.find("changed since it was listed"), std::string::npos) << refused[1].message;
    EXPECT_EQ(other.Count(), 3);
    EXPECT_TRUE(testsupport::ReadFileBytes(kDay) == expected);

    // The stale list deletes what is still as it listed it, 10:00 (deleted already) included.
    refused.clear();
    EXPECT_EQ(stale.Delete({0, 1, 2, 3}, &refused), 0);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].index, 2);
    ASSERT_EQ(stale.Count(), 1);
    EXPECT_EQ(stale.At(0).Time, Local(2009, 5, 12, 12));
    for (int k : {1, 3}) expected[static_cast<std::size_t>(k * 2560 + 280)] = 0;
    EXPECT_TRUE(testsupport::ReadFileBytes(kDay) == expected);
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
    set.At(0).Memo = "edited";
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
