// Reading one stored record (header items + pixel words) over the termios transport from the
// simulated instrument paced at 38400 baud. wire_pct is the bytes moved both ways per second
// against the 3840 B/s the line can carry.
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/instrument/InstrumentProtocol.h"
#include "sim/SimulatedInstrument.h"

static void Run(benchmark::State& state, bool paced) {
    SimOptions options;
    options.paced = paced;
    CSimulatedInstrument sim(options);
    if (!sim.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    CInstrumentLink link;
    link.SetPortOverride(sim.SlavePath());
    if (!link.OpenPort(CInstrumentLink::kSerial, 1)) {
        state.SkipWithError("cannot open the simulator's port");
        return;
    }
    CInstrumentProtocol protocol(link);
    CSpectrumData record;
    int64_t bytes = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        int64_t before = sim.BytesIn() + sim.BytesOut();
        auto t0 = std::chrono::steady_clock::now();
        if (!protocol.ReadStoredRecord(record, 0, true)) {
            state.SkipWithError(protocol.GetErrorText().c_str());
            break;
        }
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(s);
        seconds += s;
        bytes += sim.BytesIn() + sim.BytesOut() - before;
    }
    state.SetBytesProcessed(bytes);
    state.counters["bytes_per_record"] =
        benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations() ? state.iterations() : 1));
    state.counters["wire_pct"] = seconds > 0 ? 100.0 * (static_cast<double>(bytes) / seconds) /
                                                   CSimulatedInstrument::kBytesPerSecond
                                             : 0.0;
    link.ClosePort();
    sim.Stop();
}
static void BM_StoredRecordAt38400(benchmark::State& state) { Run(state, true); }
BENCHMARK(BM_StoredRecordAt38400)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The same without pacing: the cost of the link itself, which the paced figure has to absorb.
static void BM_StoredRecordUnpaced(benchmark::State& state) { Run(state, false); }
BENCHMARK(BM_StoredRecordUnpaced)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
