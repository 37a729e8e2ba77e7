// Pictures and lists of a season over a year of one-minute records of one instrument (525,600
// records, warm cache), each with reading the same day files in the same run as the baseline:
// heliarc-cli list, the trend graph of the year (what render numerical draws), the heat map of a
// month and the 3-D graph of a day. The peer is a plain loop that reads every record of the year
// and applies the prepared weights on one core. Targets: list <= 2 s, the trend graph <= 1 s, the
// heat map of a month <= 1 s, the 3-D graph of a day <= 0.5 s.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
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

namespace {

double g_readSeconds = 0;

void Report(benchmark::State& state, double total) {
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = mean;
    if (g_readSeconds > 0) state.counters["ratio_to_read"] = mean / g_readSeconds;
}

void BM_ReadDayFiles(benchmark::State& state) {
    const std::string& folder = benchdata::BenchYearFolder();
    double total = 0;
    for (auto _ : state) {
        const double t0 = benchdata::WallSeconds();
        benchmark::DoNotOptimize(benchdata::ReadDayFiles(folder));
        total += benchdata::WallSeconds() - t0;
    }
    g_readSeconds = total / static_cast<double>(state.iterations());
    state.counters["wall_s"] = g_readSeconds;
}
BENCHMARK(BM_ReadDayFiles)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Every record of the year decoded and its five derived values taken from the prepared weights,
// one record after the other on one core.
void BM_PreparedPeer(benchmark::State& state) {
    benchdata::BenchYearFolder();
    double total = 0;
    for (auto _ : state) {
        const double t0 = benchdata::WallSeconds();
        DerivedCalculator calculator;
        double sum = 0;
        CSpectrumDataSet::Scan(nullptr, nullptr, nullptr, [&](const CSpectrumData& r, platform::CalTime, int64_t) {
            sum += calculator.Of(r).par;
            return true;
        });
        benchmark::DoNotOptimize(sum);
        total += benchdata::WallSeconds() - t0;
    }
    Report(state, total);
}
BENCHMARK(BM_PreparedPeer)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_CliList(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        const benchdata::CliRun run = benchdata::RunCliOnYear(HELIARC_CLI, "list");
        total += run.seconds;
        if (!run.ok) state.SkipWithError("heliarc-cli failed");
    }
    Report(state, total);
}
BENCHMARK(BM_CliList)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

CSpectrumDataSet Searched(const platform::CalTime* from, const platform::CalTime* to) {
    benchdata::BenchYearFolder();
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
        const double t0 = benchdata::WallSeconds();
        picture.ShowRecords(year);
        picture.Render(700, 500);
        total += benchdata::WallSeconds() - t0;
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
        const double t0 = benchdata::WallSeconds();
        picture.Render(700, 500);
        total += benchdata::WallSeconds() - t0;
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
        const double t0 = benchdata::WallSeconds();
        CHeatMapPicture picture;
        picture.SetData(month, nullptr);
        picture.Render(700, 500);
        total += benchdata::WallSeconds() - t0;
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
        const double t0 = benchdata::WallSeconds();
        C3DGraphPicture picture;
        picture.SetData(day, nullptr);
        picture.Render(700, 500);
        total += benchdata::WallSeconds() - t0;
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
