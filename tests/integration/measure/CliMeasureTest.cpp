// heliarc-cli measure with the in-process simulated instrument (--demo), run as a program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

#include "core/data/SpectrumDataReader.h"
#include "core/platform/LocalTime.h"
#include "tests/support/CliRun.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kCli = testsupport::CliPath();

using testsupport::CliRun;

CliRun Cli(const std::string& args) {
    testsupport::CliOptions options;
    options.removeErrFile = true;
    return testsupport::RunCli(args, options);
}

// One printed event: its name and the words after it.
struct Line {
    std::string name;
    std::vector<std::string> words;
};

std::vector<Line> Lines(const std::string& out) {
    std::vector<Line> lines;
    std::istringstream in(out);
    for (std::string s; std::getline(in, s);) {
        Line line;
        std::istringstream words(s);
        words >> line.name;
        for (std::string w; words >> w;) line.words.push_back(w);
        lines.push_back(line);
    }
    return lines;
}

std::vector<Line> Named(const std::vector<Line>& lines, const std::string& name) {
    std::vector<Line> out;
    for (const auto& l : lines)
        if (l.name == name) out.push_back(l);
    return out;
}

// "YYYY/MM/DD" and "HH:MM:SS" as printed, in local time; -1 when they are no time.
long long LocalTime(const std::string& date, const std::string& clock) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    platform::CalTime t = 0;
    if (std::sscanf(date.c_str(), "%4d/%2d/%2d", &y, &mo, &d) != 3 ||
        std::sscanf(clock.c_str(), "%2d:%2d:%2d", &h, &mi, &sec) != 3 || !platform::JoinLocal(y, mo, d, h, mi, sec, t))
        return -1;
    return t;
}

// "stored DATE TIME file DATE offset N": the record's time.
long long StoredTime(const Line& l) { return l.words.size() == 6 ? LocalTime(l.words[0], l.words[1]) : -1; }

// "waiting until [DATE] TIME": the date is left out for a start on the day the line was printed.
long long WaitingTime(const Line& l, platform::CalTime printedOn) {
    if (l.words.size() == 3) return LocalTime(l.words[1], l.words[2]);
    return l.words.size() == 2 ? LocalTime(platform::FormatLocal(printedOn, "%Y/%m/%d"), l.words[1]) : -1;
}

std::vector<CSpectrumData> RecordsOn(platform::CalTime t) {
    platform::LocalFields f;
    std::vector<CSpectrumData> day;
    if (platform::SplitLocal(t, f)) CSpectrumDataReader().ReadDay(f.year, f.month, f.day, day);
    return day;
}

class CliMeasureTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz{"JST-9"};
    testsupport::TempWorkDir dir;
    std::string Workdir() const { return "--workdir " + dir.Path() + " "; }
};

TEST_F(CliMeasureTest, DemoIntervalRunStoresCountRecordsOnTheGrid) {
    CliRun r = Cli(Workdir() + "--demo measure --type interval --span 2 --count 3");
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = Lines(r.out);
    std::vector<long long> stored;
    for (const auto& l : Named(lines, "stored")) stored.push_back(StoredTime(l));
    ASSERT_EQ(stored.size(), 3u) << r.out;
    EXPECT_EQ(lines.back().name, "finished");
    EXPECT_EQ(Named(lines, "measuring").size(), 3u);
    for (const long long t : stored) {
        platform::CalTime midnight;
        ASSERT_TRUE(platform::LocalMidnight(t, midnight)) << r.out;
        EXPECT_EQ((t - midnight) % 2, 0);
        EXPECT_GT(testsupport::FileSize("RunTime_" + platform::FormatLocal(t, "%Y%m%d_%H%M%S") + ".csv"), 0);
    }
    // The run may have crossed midnight into a second daily file; each line names the file and the
    // record's place in it.
    long long expectedOffset = 0;
    std::string file;
    for (const auto& l : Named(lines, "stored")) {
        if (l.words[3] != file) expectedOffset = 0;
        file = l.words[3];
        EXPECT_EQ(l.words[0], file);
        EXPECT_EQ(l.words[2], "file");
        EXPECT_EQ(l.words[4], "offset");
        EXPECT_EQ(l.words[5], std::to_string(expectedOffset));
        expectedOffset += 2560;
    }
    std::vector<platform::CalTime> times;
    platform::CalTime firstDay = 0, lastDay = 0;
    ASSERT_TRUE(platform::LocalMidnight(stored.front(), firstDay));
    ASSERT_TRUE(platform::LocalMidnight(stored.back(), lastDay));
    for (const auto& rec : RecordsOn(firstDay)) times.push_back(rec.GetTime());
    if (lastDay != firstDay) {
        for (const auto& rec : RecordsOn(lastDay)) times.push_back(rec.GetTime());
    }
    ASSERT_EQ(times.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(times[i], stored[i]);

    // The options were for this run only.
    const std::string ini = testsupport::ReadFileBytes("ZQ118.ini");
    EXPECT_EQ(ini.find("INTERVAL_MEASUREMENT_SPAN=2"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("MEASUREMENT_TYPE=1"), std::string::npos) << ini;
}

TEST_F(CliMeasureTest, DemoIntervalWindowMeasuresEachGridPointOnceAndNothingAfterItsEnd) {
    // A window that opens on a grid point two seconds ahead and ends off the grid: S, S+2 and no
    // more, then the wait for tomorrow's S.
    platform::CalTime s = platform::Now() + 2;
    s += s % 2;
    platform::CalTime midnight = 0;
    ASSERT_TRUE(platform::LocalMidnight(s, midnight));
    if (s + 3 >= midnight + 86400) {  // keep the window inside one day
        s = midnight + 86400 + 2;
        midnight += 86400;
    }
    const std::string from = platform::FormatLocal(s, "%H:%M:%S"), to = platform::FormatLocal(s + 3, "%H:%M:%S");
    const double duration = static_cast<double>(s + 4 - platform::Now()) + 0.6;
    CliRun r = Cli(Workdir() + "--demo measure --type interval --span 2 --from " + from + " --to " + to +
                   " --duration " + std::to_string(duration));
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = Lines(r.out);
    std::vector<long long> stored, waiting;
    for (const auto& l : Named(lines, "stored")) stored.push_back(StoredTime(l));
    for (const auto& l : Named(lines, "waiting")) waiting.push_back(WaitingTime(l, s));
    EXPECT_EQ(stored, (std::vector<long long>{s, s + 2})) << r.out;
    EXPECT_EQ(waiting, (std::vector<long long>{s, s + 2, s + 86400})) << r.out;  // no daylight saving in JST
    std::vector<long long> times;
    for (const auto& rec : RecordsOn(s)) times.push_back(rec.GetTime());
    EXPECT_EQ(times, stored);
    EXPECT_EQ(lines.back().name, "finished");
}

TEST_F(CliMeasureTest, DemoManualOverlapWithMemoAndATransfer) {
    CliRun r = Cli(Workdir() + "--demo measure --exposure 10 --memo field");
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = Lines(r.out);
    auto exposures = Named(lines, "exposure");
    ASSERT_EQ(exposures.size(), 26u);
    EXPECT_EQ(exposures.front().words, (std::vector<std::string>{"5000", "ms"}));
    EXPECT_EQ(exposures.back().words, (std::vector<std::string>{"10", "ms", "dark"}));
    ASSERT_EQ(lines.back().name, "stored");
    auto day = RecordsOn(StoredTime(lines.back()));
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(day[0].GetMemo(), "field");
    EXPECT_EQ(day[0].GetExposureTime(), 0);
    // A run reads the standard data history and never writes it: a save of what it read could undo
    // a change another program made meanwhile.
    EXPECT_FALSE(std::filesystem::exists("ZQ118_BASE.ini"));

    // The simulated instrument holds 12 records; a second transfer finds them all stored.
    r = Cli(Workdir() + "--demo measure --type transfer");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto progress = Named(Lines(r.out), "transfer");
    ASSERT_EQ(progress.size(), 12u);
    EXPECT_EQ(progress[2].words, (std::vector<std::string>{"3", "of", "12"}));
    EXPECT_EQ(Lines(r.out).back().name, "finished");
    const long long size = testsupport::FileSize("SPC_20260620.hlx");
    EXPECT_GE(size, 2560);
    r = Cli(Workdir() + "--demo measure --type transfer");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testsupport::FileSize("SPC_20260620.hlx"), size);
}

TEST_F(CliMeasureTest, DemoMonitorPrintsTheMetricsOfEachSpectrumAndStoresNothing) {
    for (const char* stop : {"--count 3", "--duration 1"}) {
        CliRun r = Cli(Workdir() + "--demo measure --type monitor --memo aim " + stop);
        ASSERT_EQ(r.status, 0) << r.err;
        std::istringstream in(r.out);
        std::vector<std::string> rows;
        for (std::string line; std::getline(in, line);) rows.push_back(line);
        ASSERT_GE(rows.size(), 2u) << stop;
        if (std::string(stop) == "--count 3") {
            EXPECT_EQ(rows.size(), 4u);
        }
        EXPECT_EQ(rows[0].rfind("time\tmemo\tppfd\teppfd\t", 0), 0u);
        const auto columns = std::count(rows[0].begin(), rows[0].end(), '\t');
        for (std::size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(std::count(rows[i].begin(), rows[i].end(), '\t'), columns) << rows[i];
            EXPECT_NE(rows[i].find("\taim\t"), std::string::npos);
        }
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_EQ(e.path().extension(), ".ini") << e.path();  // no day file, no run-time log
    }
}

TEST_F(CliMeasureTest, FailuresAndBadUsage) {
    CliRun r = Cli(Workdir() + "--demo measure --type interval --span 0");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid interval measurement span setting.\n");
    EXPECT_TRUE(r.out.empty());

    // A run that fails says so in its last line and on standard error.
    r = Cli(Workdir() + "--demo --folder " + dir.Path() + "/no-such-folder measure --exposure 0");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "error Cannot save the data. Confirm the output folder.\n");
    EXPECT_EQ(r.err, "Cannot save the data. Confirm the output folder.\n");

    r = Cli(Workdir() + "measure --port " + dir.Path() + "/no-such-port");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Cannot open the port. Confirm the connection.\n");

    for (const char* bad : {"--demo measure --type hourly", "--demo measure --exposure 11", "--demo measure --from 25:00:00",
                            "--demo measure --count 0", "--demo measure --port COM1", "measure extra"}) {
        r = Cli(Workdir() + bad);
        EXPECT_EQ(r.status, 2) << bad;
    }
}

// Starts the program with its output on a pipe; the caller reads and signals it.
struct Child {
    pid_t pid = -1;
    int out = -1;
};

Child Spawn(const std::vector<std::string>& args) {
    int fds[2];
    Child c;
    if (::pipe(fds) != 0) return c;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kCli.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    c.pid = ::fork();
    if (c.pid == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execv(kCli.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    c.out = fds[0];
    return c;
}

TEST_F(CliMeasureTest, SigtermAndDurationStopAnIntervalRunCleanly) {
    Child c = Spawn({"--workdir", dir.Path(), "--demo", "measure", "--type", "interval", "--span", "600"});
    ASSERT_GT(c.pid, 0);
    std::string out;
    char buf[256];
    while (out.find("waiting until ") == std::string::npos) {
        ssize_t n = ::read(c.out, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ASSERT_NE(out.find("waiting until "), std::string::npos);
    ::kill(c.pid, SIGTERM);
    for (ssize_t n; (n = ::read(c.out, buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    ::close(c.out);
    int st = 0;
    ::waitpid(c.pid, &st, 0);
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 0);
    EXPECT_EQ(Lines(out).back().name, "finished") << out;

    const auto t0 = std::chrono::steady_clock::now();
    CliRun r = Cli(Workdir() + "--demo measure --type interval --span 600 --duration 1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
    auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().name, "waiting");
    EXPECT_EQ(lines.back().name, "finished");
}

}  // namespace
