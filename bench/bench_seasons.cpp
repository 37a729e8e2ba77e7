// Pictures and lists of a season over a year of one-minute records of one instrument (525,600
// records, warm cache), each with reading the same day files in the same run as the baseline:
// heliarc-cli list, the trend graph of the year (what render numerical draws), the heat map of a
// month and the 3-D graph of a day. The peer is a plain loop that reads every record of the year
// and applies the prepared weights on one core. Targets: list <= 2 s, the trend graph <= 1 s, the
// heat map of a month <= 1 s, the 3-D graph of a day <= 0.5 s.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/YearOfRecords.h"
#include "core/config/Parameter.h"
#include "core/data/DerivedWeights.h"
#include "core/data/SpectrumDataSet.h"
#include "core/platform/LocalTime.h"
#include "render/3DGraphPicture.h"
#include "render/HeatMapPicture.h"
#include "render/NumericalGraphPicture.h"

extern char** environ;

namespace {

const std::string kDir = "/tmp/heliarc-bench-year";

const std::string& Folder() {
    static const std::string folder = [] {
        const std::string data = kDir + "/data";
        if (benchdata::WriteYear(data) < 0) std::abort();
        std::filesystem::create_directories(kDir + "/work");
        CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", data);
        return data;
    }();
    return folder;
}

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double g_readSeconds = 0;

void Report(benchmark::State& state, double total) {
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = mean;
    if (g_readSeconds > 0) state.counters["ratio_to_read"] = mean / g_readSeconds;
}

void BM_ReadDayFiles(benchmark::State& state) {
    const std::string& folder = Folder();
    double total = 0;
    for (auto _ : state) {
        const double t0 = Now();
        benchmark::DoNotOptimize(benchdata::ReadDayFiles(folder));
        total += Now() - t0;
    }
    g_readSeconds = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = g_readSeconds;
}
BENCHMARK(BM_ReadDayFiles)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Every record of the year decoded and its five derived values taken from the prepared weights,
// one record after the other on one core.
void BM_PreparedPeer(benchmark::State& state) {
    Folder();
    double total = 0;
    for (auto _ : state) {
        const double t0 = Now();
        DerivedCalculator calculator;
        double sum = 0;
        CSpectrumDataSet::Scan(nullptr, nullptr, nullptr, [&](const CSpectrumData& r, platform::CalTime, int64_t) {
            sum += calculator.Of(r).par;
            return true;
        });
        benchmark::DoNotOptimize(sum);
        total += Now() - t0;
    }
    Report(state, total);
}
BENCHMARK(BM_PreparedPeer)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_CliList(benchmark::State& state) {
    const std::string& folder = Folder();
    std::vector<std::string> args = {HELIARC_CLI, "--workdir", kDir + "/work", "--folder", folder, "list"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    double total = 0;
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const double t0 = Now();
        pid_t pid;
        int status = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
        total += Now() - t0;
        posix_spawn_file_actions_destroy(&actions);
        if (status != 0) state.SkipWithError("heliarc-cli failed");
    }
    Report(state, total);
}
BENCHMARK(BM_CliList)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

CSpectrumDataSet Searched(const platform::CalTime* from, const platform::CalTime* to) {
    Folder();
    CSpectrumDataSet set;
    set.Search(from, to, nullptr);
    return set;
}

// The trend graph of the listed year (PAR over time), its values not yet worked out, as a new
// window or render numerical draws it at 700 x 500.
void BM_TrendGraphOfTheYear(benchmark::State& state) {
    const CSpectrumDataSet year = Searched(nullptr, nullptr);
    double total = 0;
    for (auto _ : state) {
        CNumericalGraphPicture picture;
        picture.Prm().m_SHOW_KIND = 0;
        const double t0 = Now();
        picture.ShowRecords(year);
        picture.Render(700, 500);
        total += Now() - t0;
    }
    state.counters["records"] = year.Count();
    Report(state, total);
}
BENCHMARK(BM_TrendGraphOfTheYear)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The same picture again: the values are known, only the drawing is left.
void BM_TrendGraphRedrawn(benchmark::State& state) {
    const CSpectrumDataSet year = Searched(nullptr, nullptr);
    year.PrepareValues(0, year.Count());
    CNumericalGraphPicture picture;
    picture.Prm().m_SHOW_KIND = 0;
    picture.ShowRecords(year);
    double total = 0;
    for (auto _ : state) {
        const double t0 = Now();
        picture.Render(700, 500);
        total += Now() - t0;
    }
    Report(state, total);
}
BENCHMARK(BM_TrendGraphRedrawn)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_HeatMapOfAMonth(benchmark::State& state) {
    platform::CalTime from = 0, to = 0;
    platform::JoinLocal(2025, 6, 1, 0, 0, 0, from);
    platform::JoinLocal(2025, 6, 30, 23, 59, 59, to);
    const CSpectrumDataSet month = Searched(&from, &to);
    double total = 0;
    for (auto _ : state) {
        const double t0 = Now();
        CHeatMapPicture picture;
        picture.SetData(month, nullptr);
        picture.Render(700, 500);
        total += Now() - t0;
    }
    state.counters["records"] = month.Count();
    Report(state, total);
}
BENCHMARK(BM_HeatMapOfAMonth)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_3DGraphOfADay(benchmark::State& state) {
    platform::CalTime from = 0, to = 0;
    platform::JoinLocal(2025, 6, 21, 0, 0, 0, from);
    platform::JoinLocal(2025, 6, 21, 23, 59, 59, to);
    const CSpectrumDataSet day = Searched(&from, &to);
    double total = 0;
    for (auto _ : state) {
        const double t0 = Now();
        C3DGraphPicture picture;
        picture.SetData(day, nullptr);
        picture.Render(700, 500);
        total += Now() - t0;
    }
    state.counters["records"] = day.Count();
    Report(state, total);
}
BENCHMARK(BM_3DGraphOfADay)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
