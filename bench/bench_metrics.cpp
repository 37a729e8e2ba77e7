// heliarc-cli metrics and dli over a year of one-minute records of one instrument (525,600 records,
// 1.3 GB, warm cache), against reading the same day files sequentially in the same run; the ratios
// of wall times are printed as counters. Target: metrics within 2 s. The in-process parts (the
// search, the metrics of one day's records from prepared weights and from the record's own
// interpolation) show where the time goes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/YearOfRecords.h"
#include "core/config/Parameter.h"
#include "core/data/SpectrumDataSet.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/platform/Path.h"

namespace {

double g_readSeconds = 0;  // mean of the sequential read

void BM_ReadDayFiles(benchmark::State& state) {
    const std::string& folder = benchdata::BenchYearFolder();
    double total = 0;
    for (auto _ : state) {
        const double t0 = benchdata::WallSeconds();
        const long long bytes = benchdata::ReadDayFiles(folder);
        total += benchdata::WallSeconds() - t0;
        benchmark::DoNotOptimize(bytes);
        state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    }
    g_readSeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadDayFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

// The built heliarc-cli on the folder, its output thrown away: what a user waits for.
void RunCli(benchmark::State& state, const char* command) {
    double total = 0;
    for (auto _ : state) {
        const benchdata::CliRun run = benchdata::RunCliOnYear(HELIARC_CLI, command);
        total += run.seconds;
        if (!run.ok) state.SkipWithError("heliarc-cli failed");
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
    CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", benchdata::BenchYearFolder());
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
        CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", benchdata::BenchYearFolder());
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
