// Several heliarc-cli processes at a time measure (simulated instrument), import, delete and
// comment on one data folder, some killed with SIGKILL at random moments; between rounds the
// standard data history is changed too. After every round the day files and ZQ118_BASE.ini are
// read directly and held against a model of what each acknowledged operation did: no acknowledged
// record is lost or changed beyond what an operation may have done to it, nothing deleted comes
// back, no record appears that nobody stored, and the history names the records it named.
//
// HELIARC_HISTORY_SEED repeats a run's operations (the seed and the operation log are printed on
// failure); HELIARC_HISTORY_ROUNDS sets the number of rounds.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/history/RecordHistory.h"
#include "tests/support/CliRun.h"
#include "tests/support/DayFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

namespace {

using namespace history;
using testsupport::kRecordBytes;

// Clocks go back at 02:00 on the first Sunday of November, so 2021/11/07 has the hour from 01:00
// twice. Given as a rule, it needs no zone database.
constexpr const char* kZone = "EST5EDT,M3.2.0,M11.1.0";

std::string Wall(int64_t t) {
    const time_t tt = static_cast<time_t>(t);
    struct tm f {};
    ::localtime_r(&tt, &f);
    char b[32];
    std::strftime(b, sizeof b, "%Y/%m/%d %H:%M:%S", &f);
    return b;
}

// isdst 1 or 0 picks the first or the second pass of a repeated hour; -1 lets the calendar decide.
int64_t LocalTime(const std::string& wall, int isdst) {
    struct tm f {};
    std::sscanf(wall.c_str(), "%d/%d/%d %d:%d:%d", &f.tm_year, &f.tm_mon, &f.tm_mday, &f.tm_hour, &f.tm_min, &f.tm_sec);
    f.tm_year -= 1900;
    f.tm_mon -= 1;
    f.tm_isdst = isdst;
    return ::mktime(&f);
}

// Imported records live on days the simulator never measures, in fixed places (slots) of which
// each import file holds some, in one of three versions. The repeated hour's slots have versions
// from both passes: as stored (local date and time texts) they are the same record.
const char* const kSlotWalls[] = {"2021/11/07 00:15:00", "2021/11/07 00:45:00", "2021/11/07 01:05:00",
                                  "2021/11/07 01:20:00", "2021/11/07 01:40:00", "2021/11/07 01:55:00",
                                  "2021/11/07 02:10:00", "2021/11/07 03:30:00", "2021/11/08 00:10:00",
                                  "2021/11/08 08:00:00", "2021/11/08 12:00:00", "2021/11/08 20:00:00"};
// Bounds of selections on those days; none falls in the repeated hour, so a record there is on the
// same side of each whichever pass it is read as.
const char* const kBounds[] = {"2021/11/06 00:00:00", "2021/11/06 12:00:00", "2021/11/07 00:00:00",
                               "2021/11/07 00:30:00", "2021/11/07 02:00:00", "2021/11/07 02:30:00",
                               "2021/11/07 04:00:00", "2021/11/08 00:00:00", "2021/11/08 09:00:00",
                               "2021/11/08 15:00:00", "2021/11/08 23:59:59"};
constexpr int kVersions = 3;
constexpr int kBallast = 600;

struct Version {
    int64_t time;
    std::string memo;
    int table;
    float level;
};
struct Slot {
    std::string wall;
    std::vector<Version> versions;
    State state;  // as last seen
};

// The image the importer stores for a record that HeaderV3 and RecordV3 wrote, comment and valid
// flag left zero (the layout of the daily data file).
std::string ImportedBody(const std::string& wall, const Version& v) {
    std::string img(kRecordBytes, '\0');
    auto text = [&](std::size_t at, const std::string& s) { img.replace(at, s.size(), s); };
    auto f32 = [&](std::size_t at, float x) { std::memcpy(&img[at], &x, 4); };
    auto i32 = [&](std::size_t at, int32_t x) { std::memcpy(&img[at], &x, 4); };
    text(0, "100");
    text(4, "ZQ118-A");
    text(36, "ST-1");
    text(68, "SN42");
    text(100, "FV-2");
    text(132, "FT-3");
    f32(172, 25.5f);
    const char* const coefficients[] = {"300.5", "3.25", "-0.001", "1e-7", "0"};
    for (std::size_t k = 0; k < 5; ++k) f32(176 + 4 * k, static_cast<float>(std::strtod(coefficients[k], nullptr)));
    const std::size_t date[][3] = {{196, 0, 4}, {201, 5, 2}, {204, 8, 2}, {207, 11, 2}, {210, 14, 2}, {213, 17, 2}};
    for (const auto& d : date) text(d[0], wall.substr(d[1], d[2]));
    i32(284, 40);
    f32(288, static_cast<float>(139.123456789));
    f32(292, -35.5f);
    f32(296, 123.0f);
    i32(300, 1);
    i32(308, 256);
    for (std::size_t i = 0; i < 256; ++i) {
        f32(512 + 4 * i, static_cast<float>(v.table + 1) + static_cast<float>(i) / 1024.0f);
        f32(1536 + 4 * i, v.level + static_cast<float>(i));
    }
    return img;
}

// A whole record found in a day file.
struct Seen {
    std::string file;
    int64_t offset = 0;
    std::string body;  // the image with comment and valid flag zeroed
    std::string wall;  // its date and time texts
    State state;
    std::string key;  // the record of the model it is, once known
};

std::vector<Seen> ScanDataFolder(std::vector<std::string>& problems) {
    std::vector<Seen> seen;
    for (const auto& [name, bytes] : testsupport::ReadDayFiles("data")) {
        const auto records = testsupport::WholeRecords(bytes);
        for (std::size_t k = 0; k < records.size(); ++k) {
            const std::string& r = records[k];
            Seen s;
            s.file = name;
            s.offset = static_cast<int64_t>(k * kRecordBytes);
            auto field = [&](std::size_t at, std::size_t width) {
                return std::string(r.data() + at, ::strnlen(r.data() + at, width));
            };
            s.wall = field(196, 5) + "/" + field(201, 3) + "/" + field(204, 3) + " " + field(207, 3) + ":" +
                     field(210, 3) + ":" + field(213, 3);
            s.state.content = 0;
            s.state.memo = field(216, 64);
            int32_t valid;
            std::memcpy(&valid, r.data() + 280, 4);
            s.state.valid = valid;
            s.body = r;
            std::fill(s.body.begin() + 216, s.body.begin() + 284, '\0');
            const std::string where = name + " at " + std::to_string(s.offset) + ": ";
            if (s.state.memo.size() == 64 || r.find_first_not_of('\0', 216 + s.state.memo.size()) < 280)
                problems.push_back(where + "torn comment field");
            if (valid != 0 && valid != 1) problems.push_back(where + "valid flag " + std::to_string(valid));
            const std::string day = s.wall.substr(0, 4) + s.wall.substr(5, 2) + s.wall.substr(8, 2);
            if (name != "SPC_" + day + ".hlx") problems.push_back(where + "a record of another day, " + s.wall);
            seen.push_back(std::move(s));
        }
    }
    return seen;
}

enum class Kind { Manual, Interval, Import, Delete, Comment, Standard };

struct Op {
    int id = 0, worker = 0;
    Kind kind = Kind::Manual;
    std::vector<std::string> args;
    std::string from, to, tag;  // a rewrite's selection
    std::string memo;           // a rewrite's new comment, a measurement's comment
    bool overwrite = false;
    int count = 1;                              // records of an interval run
    std::vector<std::pair<int, int>> versions;  // an import's (slot, version)
    std::string target;                         // the record a standard registration names
    int position = 0;                           // a standard selection or removal's position
    // Killed at this fraction of its usual run time; below 0: never.
    double killAt = -1;
    // What happened.
    int64_t start = 0, end = 0;          // milliseconds of the test
    int64_t wallStart = 0, wallEnd = 0;  // seconds of the clock
    bool killed = false;
    int status = -1;
    std::vector<std::pair<std::string, int64_t>> acks;  // a record's local time as printed, the moment the line was read
    std::string err;

    bool Acknowledged() const { return !killed && status == 0; }
    bool Covers(const std::string& wall) const { return (from.empty() || from <= wall) && (to.empty() || wall <= to); }
};

struct History {
    std::vector<std::string> keys;  // oldest first
    int selectJis = 1;
    bool operator==(const History&) const = default;
};

std::string Describe(const History& h) {
    std::string s = "SELECT_JIS_DATA " + std::to_string(h.selectJis) + ", entries:";
    for (const auto& k : h.keys) s += " [" + k + "]";
    return s;
}

class HistoryTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{kZone};
    testsupport::TempWorkDir dir_;
    unsigned seed_ = 0;
    std::mt19937 rng_;
    std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
    std::vector<Slot> slots_;
    std::map<std::string, std::pair<int, int>> versionOf_;  // body -> (slot, version)
    std::vector<Seen> measured_;  // records of today as last seen
    std::set<int> doubled_;  // slots found stored twice, reported once
    std::map<std::pair<std::string, int64_t>, std::string> keyAt_;  // place -> record
    std::map<std::string, std::string> wallOf_;                     // record -> its time texts
    std::vector<Seen> seen_;
    History history_;
    std::deque<Op> ops_;
    std::map<Kind, int64_t> usualMs_ = {{Kind::Manual, 400}, {Kind::Interval, 1200}, {Kind::Import, 150},
                                        {Kind::Delete, 80},  {Kind::Comment, 80},    {Kind::Standard, 60}};
    std::vector<std::string> log_;

    void SetUp() override {
        const char* s = std::getenv("HELIARC_HISTORY_SEED");
        seed_ = s ? static_cast<unsigned>(std::strtoul(s, nullptr, 10)) : std::random_device{}();
        rng_.seed(seed_);
        ASSERT_EQ(::mkdir("data", 0755), 0);
        exchangetest::SetGeneral("data", "SPC");
        const int64_t first = LocalTime("2021/11/07 01:20:00", 1), second = LocalTime("2021/11/07 01:20:00", 0);
        ASSERT_EQ(second - first, 3600) << "the time zone rule is not in effect";
        ASSERT_EQ(Wall(first), Wall(second));
        // Many more records of the day before, imported once before the rounds and rewritten by
        // them, keep a rewrite busy long enough for other writers to come between its choice and
        // its writes.
        std::vector<std::string> walls(std::begin(kSlotWalls), std::end(kSlotWalls));
        for (int k = 0; k < kBallast; ++k) {
            char wall[32];
            std::snprintf(wall, sizeof wall, "2021/11/06 %02d:%02d:00", 5 + k / 60, k % 60);
            walls.push_back(wall);
        }
        for (std::size_t i = 0; i < walls.size(); ++i) {
            Slot slot{walls[i], {}, {}};
            const bool repeated = slot.wall.compare(0, 13, "2021/11/07 01") == 0;
            for (int v = 0; v < kVersions; ++v) {
                const std::string memo =
                    "s" + std::to_string(i) + "v" + std::to_string(v) + ((i + v) % 2 ? "#a" : "#b");
                slot.versions.push_back({LocalTime(slot.wall, repeated ? 1 - v % 2 : -1), memo, v % 4,
                                         static_cast<float>(100 * i + 10 * v + 50)});
                versionOf_[ImportedBody(slot.wall, slot.versions.back())] = {static_cast<int>(i), v};
            }
            slots_.push_back(slot);
        }
    }

    void TearDown() override {
        if (!HasFailure()) return;
        std::printf("seed %u (HELIARC_HISTORY_SEED repeats the operations); operation log:\n", seed_);
        for (const auto& line : log_) std::printf("  %s\n", line.c_str());
    }

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int64_t Now() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - origin_)
            .count();
    }

    Op& NewOp(Kind kind, int worker) {
        Op& op = ops_.emplace_back();
        op.id = static_cast<int>(ops_.size());
        op.kind = kind;
        op.worker = worker;
        if (Uniform(0, 3) == 0) op.killAt = std::uniform_real_distribution<double>(0.0, 1.2)(rng_);
        return op;
    }

    // Selections on the imported days or around now, sometimes narrowed to a comment tag.
    void Select(Op& op) {
        if (Uniform(0, 9) < 6) {
            // Deletes leave the day before's many records alone, so that they keep rewrites busy.
            const int first = op.kind == Kind::Delete ? 2 : 0;
            const int n = static_cast<int>(std::size(kBounds)), a = Uniform(first, n - 1), b = Uniform(a, n - 1);
            const int sides = Uniform(0, 3);
            if (sides != 2 || first > 0) op.from = kBounds[a];
            if (sides != 1) op.to = kBounds[b];
        } else {
            const int64_t now = std::time(nullptr);
            op.from = Wall(now - Uniform(0, 20));
            if (Uniform(0, 1)) op.to = Wall(now + Uniform(1, 8));
        }
        if (Uniform(0, 9) < 4 || (op.from.empty() && op.to.empty())) op.tag = Uniform(0, 1) ? "#a" : "#b";
        const std::pair<const char*, std::string> options[] = {
            {"--from", op.from}, {"--to", op.to}, {"--comment", op.tag}};
        for (const auto& [option, value] : options)
            if (!value.empty()) op.args.insert(op.args.end(), {option, value});
    }

    // The file of an import's versions, in time order, and the command.
    void WriteImport(Op& op) {
        auto time = [this](const std::pair<int, int>& v) { return slots_[v.first].versions[v.second].time; };
        std::sort(op.versions.begin(), op.versions.end(), [&](auto& a, auto& b) { return time(a) < time(b); });
        std::string file = exchangetest::HeaderV3();
        for (const auto& [s, v] : op.versions) {
            const Version& version = slots_[s].versions[v];
            file += exchangetest::RecordV3(version.time, version.memo, version.table, version.level);
        }
        const std::string name = "import" + std::to_string(op.id) + ".srd";
        testsupport::WriteFileBytes(name, file);
        op.args = {"import"};
        if (op.overwrite) op.args.push_back("--overwrite");
        op.args.push_back(name);
    }

    Op& MakeOp(int worker) {
        const int pick = Uniform(0, 99);
        const Kind kind = pick < 10   ? Kind::Manual
                          : pick < 16 ? Kind::Interval
                          : pick < 44 ? Kind::Import
                          : pick < 64 ? Kind::Delete
                          : pick < 92 ? Kind::Comment
                                      : Kind::Standard;
        Op& op = NewOp(kind, worker);
        const std::string tag = Uniform(0, 1) ? "#a" : "#b";
        switch (kind) {
            case Kind::Manual:
            case Kind::Interval:
                op.memo = "m" + std::to_string(op.id) + tag;
                op.args = {"--demo", "measure", "--type", "manual", "--memo", op.memo};
                if (kind == Kind::Interval) {
                    op.count = Uniform(1, 2);
                    op.args[3] = "interval";
                    op.args.insert(op.args.end(), {"--span", "1", "--count", std::to_string(op.count)});
                }
                break;
            case Kind::Import: {
                std::vector<int> slots(std::size(kSlotWalls));
                for (std::size_t i = 0; i < slots.size(); ++i) slots[i] = static_cast<int>(i);
                std::shuffle(slots.begin(), slots.end(), rng_);
                slots.resize(static_cast<std::size_t>(Uniform(1, 5)));
                for (int s : slots) op.versions.push_back({s, Uniform(0, kVersions - 1)});
                op.overwrite = Uniform(0, 1);
                WriteImport(op);
                break;
            }
            case Kind::Delete:
                op.args = {"delete"};
                Select(op);
                break;
            case Kind::Standard:
                MakeStandard(op, true);
                break;
            default:
                op.memo = "c" + std::to_string(op.id) + tag;
                op.args = {"comment", op.memo};
                Select(op);
        }
        return op;
    }

    // One running heliarc-cli of a worker.
    struct Child {
        Op* op = nullptr;
        pid_t pid = -1;
        int fd = -1;  // its standard output
        std::string out;
        int64_t killMs = INT64_MAX;
        bool sentKill = false;
        std::size_t next = 0;  // the worker's next operation
    };

    // Runs the workers' operations in steps, each starting the next operation of every worker at
    // once (so that their writes meet) and waiting for them all; kills those whose moment comes
    // and records what each did and printed.
    void Run(const std::vector<std::vector<Op*>>& queues) {
        std::vector<Child> kids(queues.size());
        for (;;) {
            bool busy = false;
            const bool idle = std::none_of(kids.begin(), kids.end(), [](const Child& c) { return c.op; });
            for (std::size_t w = 0; w < kids.size(); ++w) {
                if (idle && kids[w].next < queues[w].size()) Start(kids[w], queues[w][kids[w].next++]);
                busy |= kids[w].op != nullptr;
            }
            if (!busy) return;
            std::vector<pollfd> fds;
            std::vector<Child*> owners;
            int64_t wait = 200;
            for (Child& c : kids) {
                if (!c.op) continue;
                if (c.fd >= 0) {
                    fds.push_back({c.fd, POLLIN, 0});
                    owners.push_back(&c);
                }
                wait = std::min(wait, std::max<int64_t>(0, c.killMs - Now()));
            }
            ::poll(fds.data(), fds.size(), static_cast<int>(wait));
            for (std::size_t k = 0; k < fds.size(); ++k)
                if (fds[k].revents) Read(*owners[k]);
            for (Child& c : kids) {
                if (c.op && c.fd >= 0 && Now() >= c.killMs) {
                    c.sentKill = ::kill(c.pid, SIGKILL) == 0;
                    c.killMs = INT64_MAX;
                }
                if (c.op && c.fd < 0) Finish(c);
            }
        }
    }

    void Start(Child& c, Op* op) {
        int p[2];
        if (::pipe2(p, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
        c.op = op;
        op->start = Now();
        op->wallStart = std::time(nullptr);
        c.pid = testsupport::StartCli(op->args, p[1], "stderr" + std::to_string(op->id) + ".txt");
        ::close(p[1]);
        c.fd = p[0];
        c.out.clear();
        c.sentKill = false;
        c.killMs =
            op->killAt < 0
                ? INT64_MAX
                : op->start + static_cast<int64_t>(op->killAt * static_cast<double>(usualMs_[op->kind] * op->count));
    }

    // A measurement's line for each stored record is its acknowledgement.
    void Read(Child& c) {
        char buf[4096];
        const ssize_t n = ::read(c.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) return;
        if (n <= 0) {
            ::close(c.fd);
            c.fd = -1;
            return;
        }
        c.out.append(buf, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = c.out.find('\n')) != std::string::npos; c.out.erase(0, eol + 1)) {
            const std::string line = c.out.substr(0, eol);
            // "stored YYYY/MM/DD HH:MM:SS file ..."
            if (line.rfind("stored ", 0) == 0 && line.size() >= 26) c.op->acks.push_back({line.substr(7, 19), Now()});
        }
    }

    void Finish(Child& c) {
        Op& op = *c.op;
        c.op = nullptr;
        int status = 0;
        ::waitpid(c.pid, &status, 0);
        op.end = Now();
        op.wallEnd = std::time(nullptr);
        op.killed = c.sentKill && WIFSIGNALED(status);
        op.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        const std::string errFile = "stderr" + std::to_string(op.id) + ".txt";
        if (!op.killed) {
            op.err = testsupport::ReadFileBytes(errFile);
            usualMs_[op.kind] = (usualMs_[op.kind] + (op.end - op.start) / op.count) / 2;
        }
        ::unlink(errFile.c_str());
        std::string line = "#" + std::to_string(op.id) + " w" + std::to_string(op.worker) + " " +
                           std::to_string(op.start) + ".." + std::to_string(op.end) + " ms " +
                           (op.killed ? "killed" : "exit " + std::to_string(op.status)) + ":";
        for (const auto& a : op.args) line += " " + (a.find(' ') == std::string::npos ? a : "\"" + a + "\"");
        if (op.versions.size() > 8)
            line += " [" + std::to_string(op.versions.size()) + " records]";
        else
            for (const auto& [s, v] : op.versions) line += " [" + slots_[s].wall + " v" + std::to_string(v) + "]";
        for (const auto& [wall, ms] : op.acks) line += " stored " + wall + " (read at " + std::to_string(ms) + ")";
        if (!op.err.empty()) line += " stderr: " + op.err;
        log_.push_back(line);
        // Only a rewrite may fail without being killed: it refuses a record that moved since it
        // chose it.
        const bool rewrite = op.kind == Kind::Delete || op.kind == Kind::Comment;
        if (!op.killed && op.status != 0 && !(rewrite && op.status == 1))
            ADD_FAILURE() << "operation #" << op.id << " failed: " << line << " (seed " << seed_ << ")";
    }

    // --- the model ---

    std::vector<Effect> Rewrites(const std::vector<Op*>& round, const std::string& wall) const {
        std::vector<Effect> effects;
        for (const Op* op : round) {
            if ((op->kind != Kind::Delete && op->kind != Kind::Comment) || !op->Covers(wall)) continue;
            Effect e{op->start, op->end, op->Acknowledged(), nullptr, nullptr};
            e.select = [tag = op->tag](const State& s) {
                return s.content >= 0 && s.valid == 1 && (tag.empty() || s.memo.find(tag) != std::string::npos);
            };
            if (op->kind == Kind::Delete)
                e.apply = [](State& s) { s.valid = 0; };
            else
                e.apply = [memo = op->memo](State& s) { s.memo = memo; };
            effects.push_back(std::move(e));
        }
        return effects;
    }

    // Whether other may change or move records that the rewrite op selects: an import any of
    // the days it covers, a rewrite any record both may select.
    bool MayChange(const Op& other, const Op& op) const {
        if (other.kind == Kind::Import) {
            for (const auto& version : other.versions) {
                const std::string day = slots_[version.first].wall.substr(0, 10);
                if ((op.from.empty() || op.from.compare(0, 10, day) <= 0) &&
                    (op.to.empty() || day.compare(op.to.substr(0, 10)) <= 0))
                    return true;
            }
            return false;
        }
        return (other.kind == Kind::Delete || other.kind == Kind::Comment) &&
               (other.from.empty() || op.to.empty() || other.from <= op.to) &&
               (op.from.empty() || other.to.empty() || op.from <= other.to);
    }

    // A record's state as seen must be one the round's effects can lead to from its last one.
    static void Expect(const std::string& what, State& last, const State& seen, const std::vector<Effect>& effects,
                       std::vector<std::string>& problems) {
        const auto possible = Outcomes(last, effects);
        if (!possible.count(seen)) {
            std::string text = what + " is " + Describe(seen) + "; it was " + Describe(last) + " and can only be:";
            for (const State& s : possible) text += " {" + Describe(s) + "}";
            problems.push_back(text);
        }
        last = seen;
    }

    // The states a record a measurement of op stored may be in; ackMs the moment it said so.
    std::set<State> MeasuredOutcomes(const std::vector<Op*>& round, const Op& op, bool acknowledged, int64_t ackMs,
                                     const std::string& wall) const {
        std::vector<Effect> effects = Rewrites(round, wall);
        effects.push_back({op.start, ackMs, acknowledged, nullptr, [memo = op.memo](State& s) {
                               if (s.content < 0) s = {0, memo, 1};
                           }});
        return Outcomes(State{}, effects);
    }

    // The round's new records of today: each that a measurement acknowledged, at its time, and any
    // other one only from a measurement killed while it ran.
    void BindMeasured(const std::vector<Op*>& round, std::vector<Seen>& seen, std::vector<bool>& claimed,
                      std::vector<std::string>& problems) {
        struct Ack {
            const Op* op;
            std::string wall;
            int64_t ms;
        };
        std::vector<Ack> acks;
        for (const Op* op : round)
            for (const auto& [wall, ms] : op->acks) acks.push_back({op, wall, ms});
        auto absorbed = [&](const Seen& s) {
            for (const Op* op : round)
                if ((op->kind == Kind::Manual || op->kind == Kind::Interval) && !op->Acknowledged() &&
                    Wall(op->wallStart - 1) <= s.wall && s.wall <= Wall(op->wallEnd + 1) &&
                    MeasuredOutcomes(round, *op, false, op->end, s.wall).count(s.state))
                    return true;
            return false;
        };
        std::function<bool(std::size_t)> assign = [&](std::size_t i) {
            if (i == acks.size()) {
                for (std::size_t j = 0; j < seen.size(); ++j)
                    if (!claimed[j] && !absorbed(seen[j])) return false;
                return true;
            }
            for (std::size_t j = 0; j < seen.size(); ++j) {
                if (claimed[j] || seen[j].wall != acks[i].wall ||
                    !MeasuredOutcomes(round, *acks[i].op, true, acks[i].ms, seen[j].wall).count(seen[j].state))
                    continue;
                claimed[j] = true;
                if (assign(i + 1)) return true;
                claimed[j] = false;
            }
            return false;
        };
        const std::vector<bool> before = claimed;
        if (!assign(0)) {
            const std::size_t known = problems.size();
            std::set<std::string> acknowledged;
            for (const Ack& a : acks) {
                acknowledged.insert(a.wall);
                const auto possible = MeasuredOutcomes(round, *a.op, true, a.ms, a.wall);
                std::string states;
                bool fits = false;
                for (std::size_t j = 0; j < seen.size(); ++j) {
                    if (before[j] || seen[j].wall != a.wall) continue;
                    states += " {" + Describe(seen[j].state) + "}";
                    fits |= possible.count(seen[j].state) > 0;
                }
                if (fits) continue;
                std::string text = "the record of " + a.wall + " that #" + std::to_string(a.op->id) + " stored ";
                if (states.empty()) text += "is missing";
                else text += "is" + states + " and can only be:";
                for (const State& st : states.empty() ? std::set<State>{} : possible) text += " {" + Describe(st) + "}";
                problems.push_back(text);
            }
            for (std::size_t j = 0; j < seen.size(); ++j)
                if (!before[j] && !acknowledged.count(seen[j].wall) && !absorbed(seen[j]))
                    problems.push_back(seen[j].file + " at " + std::to_string(seen[j].offset) + ": " + seen[j].wall +
                                       " " + Describe(seen[j].state) + " was stored by no operation of this round");
            if (problems.size() == known) problems.push_back("the round's new records match its operations in no way");
        }
        // Later rounds start from what is stored, matched or not.
        for (std::size_t j = 0; j < seen.size(); ++j)
            if (!before[j])
                measured_.push_back(seen[j]);
    }

    // Reads the data folder and holds every record against the model, reporting each that is not
    // as it may be; the model then goes on from what is stored.
    void Checkpoint(const std::vector<Op*>& round, int number) {
        std::vector<std::string> problems;
        // A rewrite may refuse a record that another writer changed or moved after the rewrite
        // chose it, but nothing else.
        for (const Op* op : round) {
            if (op->killed || op->status != 1) continue;
            bool disturbed = false;
            for (const Op* other : round)
                disturbed |= other != op && other->start <= op->end && op->start <= other->end && MayChange(*other, *op);
            if (!disturbed)
                problems.push_back("#" + std::to_string(op->id) + " failed with no other writer of its days beside it: " +
                                   op->err);
        }
        std::vector<Seen> seen = ScanDataFolder(problems);
        std::vector<bool> claimed(seen.size(), false);
        std::map<std::pair<std::string, int64_t>, std::size_t> at;
        for (std::size_t j = 0; j < seen.size(); ++j) at[{seen[j].file, seen[j].offset}] = j;

        // Today's records never move: nothing but appends and in-place rewrites touches their files.
        std::erase_if(measured_, [&](Seen& m) {
            const std::string key = "measured " + m.file + ":" + std::to_string(m.offset);
            auto it = at.find({m.file, m.offset});
            if (it == at.end() || seen[it->second].body != m.body) {
                problems.push_back(key + " (" + m.wall + ") is gone or changed beyond its comment and valid flag");
                return true;
            }
            claimed[it->second] = true;
            seen[it->second].key = key;
            Expect(key + " (" + m.wall + ")", m.state, seen[it->second].state, Rewrites(round, m.wall), problems);
            return false;
        });
        std::vector<int> found(slots_.size(), -1);
        std::vector<bool> twice(slots_.size(), false);
        for (std::size_t j = 0; j < seen.size(); ++j) {
            auto v = versionOf_.find(seen[j].body);
            if (claimed[j] || v == versionOf_.end()) continue;
            const int s = v->second.first;
            claimed[j] = true;
            seen[j].state.content = v->second.second;
            seen[j].key = "imported " + slots_[s].wall;
            twice[s] = twice[s] || found[s] >= 0;
            if (twice[s] && doubled_.insert(s).second)
                problems.push_back("imported " + slots_[s].wall + " is stored twice: " + seen[j].file + " at " +
                                   std::to_string(seen[found[s]].offset) + " and " + std::to_string(seen[j].offset));
            found[s] = static_cast<int>(j);
        }
        for (std::size_t s = 0; s < slots_.size(); ++s) {
            if (twice[s]) continue;
            std::vector<Effect> effects = Rewrites(round, slots_[s].wall);
            for (const Op* op : round)
                for (const auto& [slot, v] : op->versions) {
                    if (slot != static_cast<int>(s)) continue;
                    effects.push_back(
                        {op->start, op->end, op->Acknowledged(), nullptr,
                         [v = v, memo = slots_[s].versions[v].memo, overwrite = op->overwrite](State& st) {
                             if (overwrite || st.content < 0) st = {v, memo, 1};
                         }});
                }
            Expect("imported " + slots_[s].wall, slots_[s].state, found[s] < 0 ? State{} : seen[found[s]].state,
                   effects, problems);
        }
        BindMeasured(round, seen, claimed, problems);
        keyAt_.clear();
        for (const Seen& s : seen) {
            const std::string key = s.key.empty() ? "measured " + s.file + ":" + std::to_string(s.offset) : s.key;
            keyAt_[{s.file, s.offset}] = key;
            wallOf_[key] = s.wall;
        }
        seen_ = std::move(seen);
        CheckHistory(round, problems);
        for (const auto& p : problems)
            ADD_FAILURE() << "after round " << number << ": " << p << " (seed " << seed_ << ")";
        log_.push_back("checkpoint after round " + std::to_string(number) + ": " + std::to_string(seen_.size()) +
                       " records, " + std::to_string(problems.size()) + " problems");
    }

    // BASE_DATA_HISTORY of ./ZQ118_BASE.ini, each entry as the record at its place.
    History ReadHistory() const {
        std::map<std::string, std::string> values;
        std::istringstream in(testsupport::ReadFileBytes("ZQ118_BASE.ini"));
        bool inSection = false;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] == '[')
                inSection = line == "[BASE_DATA_HISTORY]";
            else if (inSection && line.find('=') != std::string::npos)
                values[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
        History h;
        if (values.count("SELECT_JIS_DATA")) h.selectJis = std::atoi(values["SELECT_JIS_DATA"].c_str());
        for (int i = 0; i < 20; ++i) {
            char key[16];
            std::snprintf(key, sizeof key, "%02d", i);
            if (std::atoi(values["VALID" + std::string(key)].c_str()) == 0) break;
            int y = 0, m = 0, d = 0;
            std::sscanf(values["DATE" + std::string(key)].c_str(), "%d/%d/%d", &y, &m, &d);
            char file[32];
            std::snprintf(file, sizeof file, "SPC_%04d%02d%02d.hlx", y, m, d);
            const int64_t pos = std::atoll(values["POS" + std::string(key)].c_str());
            auto it = keyAt_.find({file, pos});
            h.keys.push_back(it != keyAt_.end() ? it->second
                                                : "nothing at " + std::string(file) + ":" + std::to_string(pos));
        }
        return h;
    }

    std::string WallOf(const std::string& key) const {
        auto it = wallOf_.find(key);
        return it == wallOf_.end() ? key : it->second;
    }

    // The history after a standard command that succeeded.
    History Expected(History h, const Op& op) const {
        const int n = static_cast<int>(h.keys.size());
        const bool builtIn = n == 0 || h.selectJis == 1;
        const int index = builtIn ? (op.position == 0 ? -1 : n - op.position) : n - 1 - op.position;
        if (!op.target.empty()) {
            for (std::size_t i = 0; i < h.keys.size(); ++i)
                if (WallOf(h.keys[i]) == WallOf(op.target)) {
                    h.keys.erase(h.keys.begin() + static_cast<long>(i));
                    break;
                }
            h.keys.push_back(op.target);
            if (h.keys.size() >= 20) h.keys.erase(h.keys.begin());
            h.selectJis = 0;
        } else if (op.args[1] == "select" && index >= 0) {
            std::rotate(h.keys.begin() + index, h.keys.begin() + index + 1, h.keys.end());
            h.selectJis = 0;
        } else if (op.args[1] == "remove") {
            if (index >= 0)
                h.keys.erase(h.keys.begin() + index);
            else if (n > 0)
                h.selectJis = 0;
        } else if (op.args[1] == "jis") {
            h.selectJis = op.args[2] == "on";
        }
        return h;
    }

    // The history as the file holds it must be one the standard data commands among ops may have
    // left; the model goes on from it.
    void CheckHistory(const std::vector<Op*>& ops, std::vector<std::string>& problems) {
        const History h = ReadHistory();
        std::vector<const Op*> standard;
        for (const Op* op : ops)
            if (op->kind == Kind::Standard) standard.push_back(op);
        std::vector<History> possible;
        PossibleHistories(history_, standard, possible);
        if (std::find(possible.begin(), possible.end(), h) == possible.end()) {
            std::string text = "the standard data history is " + Describe(h) + "; it was " + Describe(history_) +
                               " and can only be:";
            for (const History& p : possible) text += " {" + Describe(p) + "}";
            problems.push_back(text);
        }
        history_ = h;
    }

    // A standard data command. Between rounds any record but the day before's many may be
    // registered and any position of the list chosen. Beside other operations only a record of
    // today (which no import moves) is registered, and the position is 0, which the list has
    // whatever the others did first.
    void MakeStandard(Op& op, bool beside) {
        std::vector<const Seen*> records;
        for (const Seen& s : seen_)
            if (s.wall.compare(0, beside ? 4 : 10, beside ? "2021" : "2021/11/06") != 0) records.push_back(&s);
        const int n = static_cast<int>(history_.keys.size());
        const int items = n + (n == 0 || history_.selectJis == 1 ? 1 : 0);
        const int pick = Uniform(0, 3);
        if (pick < 2 && !records.empty()) {
            const Seen& s = *records[static_cast<std::size_t>(Uniform(0, static_cast<int>(records.size()) - 1))];
            op.target = keyAt_.at({s.file, s.offset});
            op.args = {"standard", "register", s.wall.substr(0, 10), std::to_string(s.offset)};
        } else if (beside && pick == 3) {
            op.args = {"standard", "jis", Uniform(0, 1) ? "on" : "off"};
        } else {
            op.position = beside ? 0 : Uniform(0, items - 1);
            op.args = {"standard", pick == 3 ? "select" : "remove", std::to_string(op.position)};
        }
    }

    // The histories the round's standard commands may have left: each order real time allows,
    // every acknowledged one taken, any other one taken or not.
    void PossibleHistories(const History& h, std::vector<const Op*>& left, std::vector<History>& out) const {
        if (left.empty()) {
            out.push_back(h);
            return;
        }
        for (std::size_t i = 0; i < left.size(); ++i) {
            const Op* op = left[i];
            if (std::any_of(left.begin(), left.end(), [&](const Op* o) { return o->end < op->start; })) continue;
            left.erase(left.begin() + static_cast<long>(i));
            PossibleHistories(Expected(h, *op), left, out);
            if (!op->Acknowledged()) PossibleHistories(h, left, out);
            left.insert(left.begin() + static_cast<long>(i), op);
        }
    }

    // A few standard data commands one after another, each checked at once.
    void ChangeStandard() {
        for (int k = Uniform(0, 2); k > 0; --k) {
            Op& op = NewOp(Kind::Standard, 0);
            MakeStandard(op, false);
            Run({{&op}});
            std::vector<std::string> problems;
            CheckHistory({&op}, problems);
            for (const auto& p : problems) ADD_FAILURE() << "after #" << op.id << ": " << p << " (seed " << seed_ << ")";
        }
    }
};

TEST_F(HistoryTest, AcknowledgedRecordsStayAsTheOperationsLeftThem) {
    const char* r = std::getenv("HELIARC_HISTORY_ROUNDS");
    const int rounds = r ? std::max(1, std::atoi(r)) : 8;
    constexpr int kWorkers = 4;
    Op& ballast = NewOp(Kind::Import, 0);
    ballast.killAt = -1;
    for (int k = 0; k < kBallast; ++k) ballast.versions.push_back({static_cast<int>(std::size(kSlotWalls)) + k, 0});
    WriteImport(ballast);
    Run({{&ballast}});
    Checkpoint({&ballast}, 0);
    for (int number = 1; number <= rounds; ++number) {
        std::vector<std::vector<Op*>> queues(kWorkers);
        std::vector<Op*> round;
        for (int w = 0; w < kWorkers; ++w)
            for (int k = Uniform(2, 4); k > 0; --k) {
                round.push_back(&MakeOp(w));
                queues[static_cast<std::size_t>(w)].push_back(round.back());
            }
        Run(queues);
        Checkpoint(round, number);
        ChangeStandard();
    }
    int killed = 0, refused = 0, standard = 0;
    for (const Op& op : ops_) {
        killed += op.killed;
        refused += !op.killed && op.status == 1;
        standard += op.kind == Kind::Standard;
    }
    std::printf("history: %d rounds, %zu operations (%d killed, %d rewrites refused, %d standard data commands), %zu "
                "measured records, seed %u\n",
                rounds, ops_.size(), killed, refused, standard, measured_.size(), seed_);
    EXPECT_GT(measured_.size(), 0u);
}

}  // namespace
