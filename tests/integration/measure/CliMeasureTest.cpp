// heliarc-cli measure with the in-process simulated instrument (--demo), run as a program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

struct Line {
    std::string name;
    long long w = 0, l = 0;
};

std::vector<Line> Lines(const std::string& out) {
    std::vector<Line> lines;
    std::istringstream in(out);
    std::string s;
    while (std::getline(in, s)) {
        Line line;
        std::istringstream cells(s);
        std::getline(cells, line.name, '\t');
        cells >> line.w >> line.l;
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
    auto stored = Named(lines, "UM_INTERVAL_STORED");
    ASSERT_EQ(stored.size(), 3u) << r.out;
    EXPECT_EQ(lines.back().name, "UM_INTERVAL_FINISHED");
    EXPECT_EQ(Named(lines, "UM_INTERVAL_MEASURING").size(), 3u);
    for (const auto& s : stored) {
        platform::CalTime midnight;
        ASSERT_TRUE(platform::LocalMidnight(s.w, midnight));
        EXPECT_EQ((s.w - midnight) % 2, 0);
        EXPECT_EQ(s.l, 0);
        EXPECT_GT(testsupport::FileSize("RunTime_" + platform::FormatLocal(s.w, "%Y%m%d_%H%M%S") + ".csv"), 0);
    }
    // The run may have crossed midnight into a second daily file.
    std::vector<platform::CalTime> times;
    platform::CalTime firstDay = 0, lastDay = 0;
    ASSERT_TRUE(platform::LocalMidnight(stored.front().w, firstDay));
    ASSERT_TRUE(platform::LocalMidnight(stored.back().w, lastDay));
    for (const auto& rec : RecordsOn(firstDay)) times.push_back(rec.GetTime());
    if (lastDay != firstDay) {
        for (const auto& rec : RecordsOn(lastDay)) times.push_back(rec.GetTime());
    }
    ASSERT_EQ(times.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(times[i], stored[i].w);

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
    for (const auto& l : Named(lines, "UM_INTERVAL_STORED")) stored.push_back(l.w);
    for (const auto& l : Named(lines, "UM_INTERVAL_WAITING")) waiting.push_back(l.w);
    EXPECT_EQ(stored, (std::vector<long long>{s, s + 2})) << r.out;
    EXPECT_EQ(waiting, (std::vector<long long>{s, s + 2, s + 86400})) << r.out;  // no daylight saving in JST
    std::vector<long long> times;
    for (const auto& rec : RecordsOn(s)) times.push_back(rec.GetTime());
    EXPECT_EQ(times, stored);
    EXPECT_EQ(lines.back().name, "UM_INTERVAL_FINISHED");
}

TEST_F(CliMeasureTest, DemoManualOverlapWithMemoAndATransfer) {
    CliRun r = Cli(Workdir() + "--demo measure --exposure 10 --memo field");
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = Lines(r.out);
    auto exposures = Named(lines, "UM_EXPOSURE");
    ASSERT_EQ(exposures.size(), 26u);
    EXPECT_EQ(exposures.front().w, 5000);
    EXPECT_EQ(exposures.back().l, 1);
    ASSERT_EQ(lines.back().name, "UM_MANUAL_STORED");
    auto day = RecordsOn(lines.back().w);
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(day[0].GetMemo(), "field");
    EXPECT_EQ(day[0].GetExposureTime(), 0);
    // A run reads the standard data history and never writes it: a save of what it read could undo
    // a change another program made meanwhile.
    EXPECT_FALSE(std::filesystem::exists("ZQ118_BASE.ini"));

    // The simulated instrument holds 12 records; a second transfer finds them all stored.
    r = Cli(Workdir() + "--demo measure --type transfer");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Named(Lines(r.out), "UM_TRANSFER_PROGRESS").size(), 12u);
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
    while (out.find("UM_INTERVAL_WAITING") == std::string::npos) {
        ssize_t n = ::read(c.out, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ASSERT_NE(out.find("UM_INTERVAL_WAITING"), std::string::npos);
    ::kill(c.pid, SIGTERM);
    for (ssize_t n; (n = ::read(c.out, buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    ::close(c.out);
    int st = 0;
    ::waitpid(c.pid, &st, 0);
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 0);
    EXPECT_EQ(Lines(out).back().name, "UM_INTERVAL_FINISHED") << out;

    const auto t0 = std::chrono::steady_clock::now();
    CliRun r = Cli(Workdir() + "--demo measure --type interval --span 600 --duration 1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
    auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().name, "UM_INTERVAL_WAITING");
    EXPECT_EQ(lines.back().name, "UM_INTERVAL_FINISHED");
}

}  // namespace
