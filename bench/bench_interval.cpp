// Interval timing: how late the measurement command of each interval measurement leaves after its
// grid point, against the simulated instrument on a pseudo-terminal (paced at 38400 baud or not). The engine
// waits until grid point + 10 ms and then sends "ID" and the measurement; the target is that the
// "AM" (automatic exposure) or first "GM" (fixed exposure) never leaves more than 50 ms after
// grid point + 10 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/config/MeasurementPrm.h"
#include "core/instrument/Measurement.h"
#include "sim/SimulatedInstrument.h"
#include "tests/integration/measure/TapTransport.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/measure/RecordingListener.h"

namespace {

constexpr int kMeasurements = 20;

void IntervalLateness(benchmark::State& state, int exposureIndex, bool paced) {
    testsupport::TempWorkDir dir;
    SimOptions options;
    options.paced = paced;
    options.realExposures = exposureIndex != 0;  // AM's exposure depends on the hour; GM's is fixed
    CSimulatedInstrument sim(options);
    if (!sim.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }

    std::vector<double> late;
    for (auto _ : state) {
        auto log = std::make_shared<CTapLog>();
        CMeasurement engine;
        engine.SetTransportFactory([&] { return std::make_unique<CTapTransport>(sim.SlavePath(), log); });
        CMeasurementPrm prm;
        prm.m_MEASUREMENT_TYPE = CMeasurement::kInterval;
        prm.m_EXPOSED_TIME = exposureIndex;
        prm.m_MEASUREMENT_SOUND = 1;
        prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString("2000/1/1 0:00:00");
        prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString("2000/1/1 23:59:59");
        prm.m_INTERVAL_MEASUREMENT_SPAN = 1;
        CRecordingListener listener;
        if (!engine.Start(prm, listener)) {
            state.SkipWithError(engine.GetErrorText().c_str());
            return;
        }
        const bool done = listener.WaitFor(Ev::kStored, kMeasurements, 120000);
        engine.Stop();
        if (!done) {
            state.SkipWithError(("run failed: " + engine.GetErrorText()).c_str());
            return;
        }
        // Pair each announced start with the first measurement command sent after it.
        auto starts = listener.Only(Ev::kWaiting);
        auto entries = log->Entries();
        std::size_t at = 0;
        for (std::size_t i = 0; i < starts.size() && late.size() < static_cast<std::size_t>(kMeasurements); ++i) {
            const int64_t grid = starts[i].time * 1000;
            while (at < entries.size() &&
                   (entries[at].sentMs < grid || (entries[at].command.rfind("AM,", 0) != 0 &&
                                                  entries[at].command.rfind("GM,", 0) != 0)))
                ++at;
            if (at == entries.size()) break;
            late.push_back(static_cast<double>(entries[at].sentMs - grid));
            // Skip the rest of this measurement's exposures.
            while (at < entries.size() && entries[at].command != "ID\r") ++at;
        }
    }
    if (late.empty()) {
        state.SkipWithError("no measurement commands seen");
        return;
    }
    std::vector<double> sorted = late;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.size() % 2 ? sorted[sorted.size() / 2]
                                            : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
    state.counters["measurements"] = static_cast<double>(late.size());
    state.counters["worst_ms_after_grid"] = sorted.back();
    state.counters["median_ms_after_grid"] = median;
    state.counters["best_ms_after_grid"] = sorted.front();
    state.counters["target_ms_after_grid"] = CMeasurement::kStartSlackMs + 50;
    state.counters["within_target"] = sorted.back() <= CMeasurement::kStartSlackMs + 50 ? 1 : 0;
}

void BM_IntervalAutomaticExposure(benchmark::State& state) { IntervalLateness(state, 0, true); }
// Before its first GM a fixed exposure reads the eight live header items and opens the shutter:
// ten exchanges in all, which at 38400 baud take about 45 ms.
void BM_IntervalFixedExposure100ms(benchmark::State& state) { IntervalLateness(state, 4, true); }
// The same without the serial line's pacing, as over USB.
void BM_IntervalFixedExposure100msUnpaced(benchmark::State& state) { IntervalLateness(state, 4, false); }

}  // namespace

BENCHMARK(BM_IntervalAutomaticExposure)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalFixedExposure100ms)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalFixedExposure100msUnpaced)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
