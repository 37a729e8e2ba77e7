// heliarc-cli metrics and dli over a year of one-minute records of one instrument (525,600 records,
// 1.3 GB, warm cache), against reading the same day files sequentially in the same run; the ratios
// of wall times are printed as counters. Target: metrics within 2 s. The in-process parts (the
// search, the metrics of one day's records from prepared weights and from the record's own
// interpolation) show where the time goes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/YearOfRecords.h"
#include "core/config/Parameter.h"
#include "core/data/SpectrumDataSet.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/platform/Path.h"

extern char** environ;

namespace {

const std::string kDir = "/tmp/heliarc-bench-year";

const std::string& Folder() {
    static const std::string folder = [] {
        const std::string data = kDir + "/data";
        if (benchdata::WriteYear(data) < 0) std::abort();
        std::filesystem::create_directories(kDir + "/work");
        return data;
    }();
    return folder;
}

double g_readSeconds = 0;  // mean of the sequential read

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void BM_ReadDayFiles(benchmark::State& state) {
    const std::string& folder = Folder();
    double total = 0;
    for (auto _ : state) {
        const double t0 = Now();
        const long long bytes = benchdata::ReadDayFiles(folder);
        total += Now() - t0;
        benchmark::DoNotOptimize(bytes);
        state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    }
    g_readSeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadDayFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

// The built heliarc-cli on the folder, its output thrown away: what a user waits for.
void RunCli(benchmark::State& state, const char* command) {
    const std::string& folder = Folder();
    std::vector<std::string> args = {HELIARC_CLI, "--workdir", kDir + "/work", "--folder", folder, command};
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
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = mean;
    if (g_readSeconds > 0) state.counters["ratio_to_read"] = mean / g_readSeconds;
}

void BM_CliMetrics(benchmark::State& state) { RunCli(state, "metrics"); }
BENCHMARK(BM_CliMetrics)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_CliDli(benchmark::State& state) { RunCli(state, "dli"); }
BENCHMARK(BM_CliDli)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_SearchYear(benchmark::State& state) {
    CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", Folder());
    for (auto _ : state) {
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, nullptr);
        state.counters["records"] = set.Count();
    }
}
BENCHMARK(BM_SearchYear)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One midsummer day's 1,440 records on one thread, read before the timing.
const std::vector<CSpectrumData>& Day() {
    static const std::vector<CSpectrumData> records = [] {
        CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", Folder());
        CSpectrumDataSet s;
        platform::CalTime from = 0, to = 0;
        platform::JoinLocal(benchdata::YearOptions().year, 6, 21, 0, 0, 0, from);
        platform::JoinLocal(benchdata::YearOptions().year, 6, 21, 23, 59, 59, to);
        s.Search(&from, &to, nullptr);
        std::vector<CSpectrumData> day;
        for (int i = 0; i < s.Count(); ++i)
            if (const auto r = s.Record(i)) day.push_back(*r);
        return day;
    }();
    return records;
}

void BM_DayPrepared(benchmark::State& state) {
    const std::vector<CSpectrumData>& day = Day();
    metrics::MetricsCalculator calculator;
    for (auto _ : state)
        for (const CSpectrumData& r : day) benchmark::DoNotOptimize(calculator.Compute(r));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(day.size()));
}
BENCHMARK(BM_DayPrepared)->Unit(benchmark::kMillisecond);

void BM_DayDirect(benchmark::State& state) {
    const std::vector<CSpectrumData>& day = Day();
    metrics::MetricsCalculator calculator;
    for (auto _ : state)
        for (const CSpectrumData& r : day) benchmark::DoNotOptimize(calculator.Direct(r));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(day.size()));
}
BENCHMARK(BM_DayDirect)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
