// Kills heliarc-cli with SIGKILL at random moments, many times, while it appends (an interval
// run on the simulated instrument), rewrites records in place (delete, comment) and imports, and
// checks after every kill that each record stored before is still there byte for byte and that
// every day file is a whole number of records or reads as one. The moments follow what the program
// has done (records it reported stored, files it began to change), not how fast this machine is.
//
// HELIARC_CRASH_SEED repeats a run; the seed is printed on failure.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/data/RecordLayout.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "tests/support/CliRun.h"
#include "tests/support/DayFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace exchangetest;

namespace {

using testsupport::StartCli;
using testsupport::WholeRecords;
using Files = testsupport::DayFiles;
constexpr std::size_t kRecord = testsupport::kRecordBytes;

Files Snapshot() { return testsupport::ReadDayFiles("data"); }

// Kills the child (when it is still running) and reaps it; true when the kill ended it.
bool Kill(pid_t pid) {
    const bool sent = ::kill(pid, SIGKILL) == 0;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return sent && WIFSIGNALED(status);
}

// Runs heliarc-cli in the working folder and kills it after delayMs (when it is still running).
// True when it was killed, false when it had ended by itself.
bool RunAndKill(const std::vector<std::string>& args, int delayMs) {
    const pid_t pid = StartCli(args);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    return Kill(pid);
}

// Name, inode, size and modification time of each day file: what a write or a replacement changes.
std::string DayFilesState() {
    std::string state;
    for (const auto& e : std::filesystem::directory_iterator("data")) {
        struct stat st {};
        if (e.path().extension() != ".hlx" || ::stat(e.path().c_str(), &st) != 0) continue;
        state += e.path().filename().string() + ' ' + std::to_string(st.st_ino) + ' ' + std::to_string(st.st_size) +
                 ' ' + std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) + '\n';
    }
    return state;
}

// Runs heliarc-cli and kills it as soon as it has changed a day file: in the middle of its writing
// (a rewrite's records, an import's days) however long that takes here. True when it was killed.
bool RunAndKillOnFirstWrite(const std::vector<std::string>& args) {
    const std::string before = DayFilesState();
    const pid_t pid = StartCli(args);
    int status = 0;
    while (DayFilesState() == before) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return Kill(pid);
}

// Milliseconds a whole run of the command takes on this machine (the shortest of three runs: the
// first is often the slowest). Kill moments are drawn from it,
// so that a slow machine (where starting the program alone can take 40 ms) still sees kills
// during the writing and not only before it.
int RunToEndMs(const std::vector<std::string>& args) {
    long best = 1L << 30;
    for (int k = 0; k < 3; ++k) {
        const auto t0 = std::chrono::steady_clock::now();
        const pid_t pid = StartCli(args);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << args.front();
        best = std::min<long>(best, std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - t0).count());
    }
    return std::max(4, static_cast<int>(best));
}

class CrashTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    std::mt19937 rng_;
    unsigned seed_ = 0;

    void SetUp() override {
        const char* s = std::getenv("HELIARC_CRASH_SEED");
        seed_ = s ? static_cast<unsigned>(std::strtoul(s, nullptr, 10))
                  : static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
        rng_.seed(seed_);
        ::mkdir("data", 0755);
        SetGeneral("data", "SPC");
    }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // Every day file holds whole records, or the reader takes exactly its whole records.
    void ExpectWholeRecords(const Files& files) {
        for (const auto& [name, bytes] : files) {
            if (bytes.size() % kRecord == 0) continue;
            std::size_t decodable = 0;
            for (const std::string& image : WholeRecords(bytes)) {
                CSpectrumData r;
                if (CSpectrumDataReader::Decode(reinterpret_cast<const unsigned char*>(image.data()), r) &&
                    r.GetValid() != 0)
                    ++decodable;
            }
            CSpectrumDataSet set;
            set.Search(nullptr, nullptr, nullptr);
            std::size_t listed = 0;
            for (int i = 0; i < set.Count(); ++i) {
                std::string path;
                CGeneralPrm g;
                g.Load();
                if (g.DailyFilePath(set.At(i).FileDate, path) && path.find(name) != std::string::npos) ++listed;
            }
            EXPECT_EQ(listed, decodable) << name << " of " << bytes.size() << " bytes, seed " << seed_;
        }
    }

    // Appends only: every whole record of before is at its place, unchanged.
    void ExpectKeptInPlace(const Files& before, const Files& after, const std::string& what) {
        for (const auto& [name, bytes] : before) {
            auto it = after.find(name);
            ASSERT_NE(it, after.end()) << name << " vanished during " << what << ", seed " << seed_;
            const auto old = WholeRecords(bytes);
            const auto now = WholeRecords(it->second);
            ASSERT_GE(now.size(), old.size()) << name << " lost records during " << what << ", seed " << seed_;
            for (std::size_t k = 0; k < old.size(); ++k)
                ASSERT_EQ(now[k], old[k]) << name << " record " << k << " changed during " << what << ", seed " << seed_;
        }
    }

    // In-place rewrites: every record is where it was; only the comment and the valid flag of
    // the records the command selected may differ, and then as a whole.
    void ExpectRewrittenInPlace(const Files& before, const Files& after, const std::string& memo) {
        using namespace record_layout;
        for (const auto& [name, bytes] : before) {
            auto it = after.find(name);
            ASSERT_NE(it, after.end()) << name << ", seed " << seed_;
            ASSERT_EQ(it->second.size(), bytes.size()) << name << ", seed " << seed_;
            const auto old = WholeRecords(bytes);
            const auto now = WholeRecords(it->second);
            for (std::size_t k = 0; k < old.size(); ++k) {
                if (now[k] == old[k]) continue;
                ASSERT_EQ(now[k].substr(0, kMemo), old[k].substr(0, kMemo)) << name << " " << k << ", seed " << seed_;
                ASSERT_EQ(now[k].substr(kValid + 4), old[k].substr(kValid + 4)) << name << " " << k << ", seed " << seed_;
                const std::string field = now[k].substr(kMemo, kMemoWidth);
                const std::string wanted = memo + std::string(kMemoWidth - memo.size(), '\0');
                EXPECT_TRUE(field == old[k].substr(kMemo, kMemoWidth) || field == wanted)
                    << name << " " << k << " has a torn comment, seed " << seed_;
                const std::string valid = now[k].substr(kValid, 4);
                EXPECT_TRUE(valid == old[k].substr(kValid, 4) || valid == std::string(4, '\0'))
                    << name << " " << k << ", seed " << seed_;
            }
        }
    }

    // Imports merge: every whole record of before is still in its day file, byte for byte.
    void ExpectAllStillThere(const Files& before, const Files& after) {
        for (const auto& [name, bytes] : before) {
            auto it = after.find(name);
            ASSERT_NE(it, after.end()) << name << ", seed " << seed_;
            std::multiset<std::string> now;
            for (auto& r : WholeRecords(it->second)) now.insert(std::move(r));
            for (const std::string& r : WholeRecords(bytes)) {
                auto at = now.find(r);
                ASSERT_NE(at, now.end()) << name << " lost or changed a record during an import, seed " << seed_;
                now.erase(at);
            }
        }
    }

    void ExpectNoTemporariesAfterTheNextStart() {
        int status = 0;
        ::waitpid(StartCli({"list"}), &status, 0);  // cleans what the killed runs left
        for (const auto& e : std::filesystem::directory_iterator("data")) {
            EXPECT_EQ(e.path().filename().string().find(".import-"), std::string::npos) << e.path() << ", seed " << seed_;
            EXPECT_EQ(e.path().filename().string().find(".csv.csv-"), std::string::npos) << e.path() << ", seed " << seed_;
        }
        for (const auto& e : std::filesystem::directory_iterator(".")) {
            EXPECT_EQ(e.path().filename().string().find(".ini.tmp"), std::string::npos) << e.path() << ", seed " << seed_;
            EXPECT_EQ(e.path().filename().string().find(".ini.save-"), std::string::npos) << e.path() << ", seed " << seed_;
        }
    }
};

// Each run is killed at a random moment after it reported 0, 1 or 2 records stored; every record
// it reported stored must be on the disk.
TEST_F(CrashTest, KilledIntervalRunsKeepEveryStoredRecord) {
    const auto records = [](const Files& files) {
        std::size_t n = 0;
        for (const auto& [name, bytes] : files) n += bytes.size() / kRecord;
        return n;
    };
    int killed = 0;
    std::size_t reported = 0;
    for (int round = 0; round < 14; ++round) {
        const Files before = Snapshot();
        int out[2];
        ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
        const pid_t pid =
            StartCli({"--demo", "measure", "--type", "interval", "--span", "1", "--duration", "120"}, out[1]);
        ::close(out[1]);
        std::string printed = "\n";  // every line, the first too, follows a newline
        const auto stored = [&printed] {
            std::size_t n = 0;
            for (std::size_t at = 0; (at = printed.find("\nstored ", at)) != std::string::npos; ++at) ++n;
            return n;
        };
        const auto read = [&] {
            char buf[4096];
            ssize_t n;
            do n = ::read(out[0], buf, sizeof buf);
            while (n < 0 && errno == EINTR);
            if (n > 0) printed.append(buf, static_cast<std::size_t>(n));
            return n > 0;
        };
        while (stored() < static_cast<std::size_t>(round % 3) && read()) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(Uniform(0, 1200)));
        killed += Kill(pid);
        while (read()) {
        }
        ::close(out[0]);
        const Files after = Snapshot();
        ExpectKeptInPlace(before, after, "an interval run");
        ExpectWholeRecords(after);
        EXPECT_GE(records(after), records(before) + stored()) << "a record reported stored is missing, seed " << seed_;
        reported += stored();
        if (HasFatalFailure()) return;
    }
    std::printf("interval runs: %d of 14 killed, %zu records reported stored (seed %u)\n", killed, reported, seed_);
    EXPECT_EQ(killed, 14) << "a run that was to go on for two minutes ended by itself";
    EXPECT_GE(reported, 13u);
    ExpectNoTemporariesAfterTheNextStart();
}

TEST_F(CrashTest, KilledDeletesAndCommentEditsRewriteWholeRecordsOnly) {
    std::vector<CSpectrumData> list;
    for (int i = 0; i < 2 * 1440; ++i) list.push_back(InstrumentRecord(Local(2009, 5, 12, 0, 0, 0) + 60 * i, "m", 100.0f + i));
    ASSERT_EQ(CSpectrumDataWriter().WriteAll(list), 1);
    int whole = RunToEndMs({"comment", "first", "--from", "2009/05/12 00:00:00"}), early = 1;
    int killed = 0, changed = 0;
    for (int round = 0; round < 30; ++round) {
        const Files before = Snapshot();
        const int from = Uniform(0, 8);
        const std::string range = "2009/05/12 0" + std::to_string(from) + ":00:00";
        const std::string memo = "c" + std::to_string(round);
        const int delay = Uniform(early, whole);
        const std::vector<std::string> args = round % 3 == 0
                                                  ? std::vector<std::string>{"delete", "--from", range, "--to",
                                                                             "2009/05/13 09:30:00"}
                                                  : std::vector<std::string>{"comment", memo, "--from", range};
        // Every other run is killed once it has begun to write; the others at a moment drawn from
        // how the runs go on this machine.
        const bool onWrite = round % 2 == 1;
        const bool k = onWrite ? RunAndKillOnFirstWrite(args) : RunAndKill(args, delay);
        killed += k;
        const Files after = Snapshot();
        changed += after != before;
        // One that ended sooner lowers the latest moment, one killed before it wrote anything moves
        // the earliest halfway towards it.
        if (!onWrite && !k) whole = std::max(early + 1, delay);
        else if (!onWrite && after == before) early = std::min(whole - 1, (early + delay) / 2);
        ExpectRewrittenInPlace(before, after, round % 3 == 0 ? std::string() : memo);
        ExpectWholeRecords(after);
        if (HasFatalFailure()) return;
    }
    std::printf("rewrites: %d of 30 killed, %d changed the file (seed %u)\n", killed, changed, seed_);
    EXPECT_GT(killed, 5);
    EXPECT_GT(changed, 5);
    ExpectNoTemporariesAfterTheNextStart();
}

TEST_F(CrashTest, KilledImportsKeepEveryStoredRecord) {
    std::vector<CSpectrumData> list;
    for (int i = 0; i < 300; ++i) list.push_back(InstrumentRecord(Local(2009, 5, 12, 0, 0, 0) + 120 * i, "s", 100.0f));
    for (int i = 0; i < 100; ++i) list.push_back(InstrumentRecord(Local(2009, 5, 13, 0, 0, 0) + 120 * i, "t", 100.0f));
    ASSERT_EQ(CSpectrumDataWriter().WriteAll(list), 1);
    // A file for each round, whose records fall between the stored ones of both days.
    for (int f = 0; f < 30; ++f) {
        std::string file = HeaderV3();
        for (int k = 0; k < 60; ++k)
            file += RecordV3(Local(2009, 5, 12 + k % 2, 0, 0, 0) + 120 * (k * 3 + f % 3) + 7 + f, "i" + std::to_string(f));
        testsupport::WriteFileBytes("in" + std::to_string(f) + ".srd", file);
    }
    testsupport::WriteFileBytes("first.srd", HeaderV3() + RecordV3(Local(2009, 5, 12, 0, 0, 0) + 1, "first"));
    int whole = 2 * RunToEndMs({"import", "first.srd"}), early = 1;  // the rounds' files hold 60 records
    int killed = 0, changed = 0;
    for (int round = 0; round < 30; ++round) {
        const Files before = Snapshot();
        const std::string file = "in" + std::to_string(round) + ".srd";
        const int delay = Uniform(early, whole);
        const bool onWrite = round % 2 == 1;  // as for the rewrites: between its days
        const bool k = onWrite ? RunAndKillOnFirstWrite({"import", file}) : RunAndKill({"import", file}, delay);
        killed += k;
        const Files after = Snapshot();
        changed += after != before;
        if (!onWrite && !k) whole = std::max(early + 1, delay);
        else if (!onWrite && after == before) early = std::min(whole - 1, (early + delay) / 2);
        ExpectAllStillThere(before, after);
        ExpectWholeRecords(after);
        if (HasFatalFailure()) return;
    }
    std::printf("imports: %d of 30 killed, %d changed the files (seed %u)\n", killed, changed, seed_);
    EXPECT_GT(killed, 5);
    EXPECT_GT(changed, 5);
    ExpectNoTemporariesAfterTheNextStart();
}

}  // namespace
