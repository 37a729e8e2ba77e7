// The data browser's search over a year of one-minute records of one instrument (525,600 records,
// 1.3 GB, warm cache), and heliarc-cli list of the same folder, against reading the same day files
// sequentially in the same run; the ratios of wall times are printed as counters, and so are the
// memory figures. Targets: the year searched into the list within 0.5 s, the listed year within
// 150 MB resident, heliarc-cli list of the year within 100 MB.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/YearOfRecords.h"
#include "core/config/Parameter.h"
#include "core/data/SpectrumDataSet.h"
#include "core/platform/Path.h"

namespace {

// Resident memory of this process now, in MB.
double ResidentMB() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::atol(line + 6);
    std::fclose(f);
    return static_cast<double>(kb) / 1024.0;
}

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
    state.counters["wall_s"] = g_readSeconds;
}
BENCHMARK(BM_ReadDayFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

// heliarc-cli list of the year, its output thrown away: the wall time and the peak resident memory
// of the child (max_rss_MB). It runs before the searches: a spawned child's peak counts the memory
// this process had when it spawned it.
void BM_CliList(benchmark::State& state) {
    double total = 0, maxRss = 0;
    for (auto _ : state) {
        const benchdata::CliRun run = benchdata::RunCliOnYear(HELIARC_CLI, "list");
        total += run.seconds;
        maxRss = std::max(maxRss, run.maxRssMB);
        if (!run.ok) state.SkipWithError("heliarc-cli failed");
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = mean;
    state.counters["max_rss_MB"] = maxRss;
    if (g_readSeconds > 0) state.counters["ratio_to_read"] = mean / g_readSeconds;
}
BENCHMARK(BM_CliList)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The whole year into the list, as the browser's search without bounds lists it; the set is freed
// after each timing. listed_MB: what the listed year adds to the resident memory.
void SearchYear(benchmark::State& state, const char* comment) {
    benchdata::BenchYearFolder();
    double total = 0, listed = 0;
    for (auto _ : state) {
        const double before = ResidentMB();
        const double t0 = benchdata::WallSeconds();
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, comment);
        total += benchdata::WallSeconds() - t0;
        listed = ResidentMB() - before;
        state.counters["records"] = set.Count();
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = mean;
    state.counters["listed_MB"] = listed;
    state.counters["resident_MB"] = ResidentMB();
    if (g_readSeconds > 0) state.counters["ratio_to_read"] = mean / g_readSeconds;
}

void BM_SearchYear(benchmark::State& state) { SearchYear(state, nullptr); }
BENCHMARK(BM_SearchYear)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// A comment no record has: every record is read, none kept.
void BM_SearchYearKeepingNone(benchmark::State& state) { SearchYear(state, "no such comment"); }
BENCHMARK(BM_SearchYearKeepingNone)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Every record of the year read back whole from the list, in order, as an export reads them.
void BM_ReadEveryListedRecord(benchmark::State& state) {
    benchdata::BenchYearFolder();
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    double total = 0;
    for (auto _ : state) {
        const double t0 = benchdata::WallSeconds();
        long long pixels = 0;
        for (int i = 0; i < set.Count(); ++i)
            if (const auto r = set.Record(i)) pixels += r->PixelCount();
        total += benchdata::WallSeconds() - t0;
        benchmark::DoNotOptimize(pixels);
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = mean;
    if (g_readSeconds > 0) state.counters["ratio_to_read"] = mean / g_readSeconds;
}
BENCHMARK(BM_ReadEveryListedRecord)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();


}  // namespace

BENCHMARK_MAIN();
