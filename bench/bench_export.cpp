// CSV export of 1,000 records in 1 nm steps (701 wavelength rows x 1,000 columns), as a user runs
// it after a search: the records as read from their day files, their sums not yet known. The
// baseline is reading those records from the day files (the search), in the same run. Counters:
// wall and CPU (all threads) milliseconds per run, and the export's ratios to the read. Target:
// under 150 ms on one core (taskset -c 0).
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/config/ExportPrm.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/exchange/CSVExporter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

namespace {

constexpr int kRecords = 1000;

// Wall and CPU (all threads) milliseconds, summed over runs.
struct Cost {
    double wall = 0, cpu = 0;
    template <class F>
    void Add(F&& f) {
        const double w0 = Ms(CLOCK_MONOTONIC), c0 = Ms(CLOCK_PROCESS_CPUTIME_ID);
        f();
        wall += Ms(CLOCK_MONOTONIC) - w0;
        cpu += Ms(CLOCK_PROCESS_CPUTIME_ID) - c0;
    }
    static double Ms(clockid_t clock) {
        timespec ts{};
        clock_gettime(clock, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
    }
    void Report(benchmark::State& state) const {
        const auto n = static_cast<double>(state.iterations());
        state.counters["wall_ms"] = wall / n;
        state.counters["cpu_ms"] = cpu / n;
    }
};

Cost g_read;  // the baseline, per run

// Ten instruments' wavelength coefficients alternate from record to record.
struct Folder {
    testsupport::TempWorkDir dir;
    Folder() {
        std::filesystem::create_directories("data");
        datatest::SetGeneral("data", "SPC");
        std::vector<CSpectrumData> records;
        for (int k = 0; k < kRecords; ++k) {
            CSpectrumData r;
            r.SetTime(datatest::Local(2009, 5, 12, 0, 0, 0) + 300LL * k);
            r.SetTypeCode("100");
            r.SetMemo("record " + std::to_string(k));
            r.SetValid(1);
            r.SetFovCode(0);
            r.SetExposureTime(50 + k % 7);
            r.SetTemperature(15.0f + static_cast<float>(k % 20));
            r.SetCoefficient(0, 300.0f + 0.01f * static_cast<float>(k % 10));
            r.SetCoefficient(1, 3.1372549f);
            r.SetCoefficient(2, -1.2e-4f);
            r.SetCoefficient(3, 0.0f);
            r.SetCoefficient(4, 0.0f);
            std::vector<float> sig(256), cal(256);
            for (int i = 0; i < 256; ++i) {
                sig[static_cast<std::size_t>(i)] = 1000.0f + 37.0f * static_cast<float>((i * 13 + k) % 101);
                cal[static_cast<std::size_t>(i)] = 0.0123f + 1e-5f * static_cast<float>(i);
            }
            r.SetSignal(sig);
            r.SetCalibration(cal);
            records.push_back(r);
        }
        if (!CSpectrumDataWriter().WriteAll(records)) std::abort();
    }
};

Folder& Data() {
    static Folder f;
    return f;
}

CSpectrumDataSet Read() {
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    if (set.Count() != kRecords) std::abort();
    return set;
}

void BM_ReadDayFiles1000Records(benchmark::State& state) {
    Data();
    Cost c;
    for (auto _ : state) c.Add([] { benchmark::DoNotOptimize(Read()); });
    c.Report(state);
    const auto n = static_cast<double>(state.iterations());
    g_read = {c.wall / n, c.cpu / n};
}
BENCHMARK(BM_ReadDayFiles1000Records)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Export1nm1000Records(benchmark::State& state) {
    Data();
    CExportPrm prm;
    prm.m_EXPORT_TYPE = 0;
    prm.m_SPECTRUM_UNIT = 0;
    prm.m_WAVELENGTH_TYPE = 1;
    prm.m_MIN_WAVELENGTH = 350.0f;
    prm.m_MAX_WAVELENGTH = 1050.0f;
    const CSpectrumDataSet read = Read();
    Cost c;
    for (auto _ : state) {
        state.PauseTiming();
        const CSpectrumDataSet fresh = read;  // the export reads the records from the day files
        state.ResumeTiming();
        c.Add([&] {
            if (!CCSVExporter().ExportDataSet("export.csv", fresh, nullptr, prm)) state.SkipWithError("export failed");
        });
    }
    c.Report(state);
    const auto n = static_cast<double>(state.iterations());
    if (g_read.wall > 0) {
        state.counters["ratio_to_read"] = c.wall / n / g_read.wall;
        state.counters["cpu_ratio_to_read"] = c.cpu / n / g_read.cpu;
    }
    std::error_code ec;
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size("export.csv", ec));
    std::remove("export.csv");
}
BENCHMARK(BM_Export1nm1000Records)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
