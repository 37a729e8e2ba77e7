// What it costs to make each stored record durable: an interval run at one record a second appends
// through CSpectrumDataWriter, which syncs the day file before the record is reported stored. The
// baseline is the same append (folder lock, open, one write, close) without the sync, in the same
// run and folder; the counters give the ratio and the share of the one-second interval it takes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "core/config/GeneralPrm.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/File.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Path.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

namespace {

constexpr int kAppends = 200;  // records a round appends, one a second of record time
double g_plainMs = 0;          // mean milliseconds of one append without the sync

struct Folder {
    testsupport::TempWorkDir dir;
    Folder() {
        std::filesystem::create_directories("data");
        datatest::SetGeneral("data", "SPC");
    }
};

platform::CalTime Start(int round) { return datatest::Local(2026, 3, 1 + round % 28, 0, 0, 0); }

// Milliseconds per append over one round of kAppends.
template <class Append>
double Round(int round, Append&& append) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kAppends; ++i) append(Start(round) + i);
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - t0;
    return spent.count() / kAppends;
}

void BM_AppendWithoutSync(benchmark::State& state) {
    Folder folder;
    CSpectrumDataWriter writer;
    CSpectrumData record = datatest::MakeRecord(0, "bench");
    unsigned char image[CSpectrumDataWriter::kRecordSize];
    double total = 0;
    int round = 0;
    for (auto _ : state) {
        total += Round(round++, [&](platform::CalTime t) {
            record.SetTime(t);
            std::string path;
            if (!CSpectrumDataWriter::Encode(record, image) || !writer.General().DailyFilePath(t, path)) std::abort();
            platform::FolderLock lock(platform::StoredFolderOf(path));
            platform::File file;
            if (!file.Open(path, platform::File::Mode::Append) || !file.WriteAll(image, sizeof image)) std::abort();
        });
    }
    g_plainMs = total / static_cast<double>(state.iterations());
    state.counters["ms_per_append"] = g_plainMs;
}
BENCHMARK(BM_AppendWithoutSync)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AppendDurable(benchmark::State& state) {
    Folder folder;
    CSpectrumDataWriter writer;
    CSpectrumData record = datatest::MakeRecord(0, "bench");
    double total = 0;
    int round = 0;
    for (auto _ : state) {
        total += Round(round++, [&](platform::CalTime t) {
            record.SetTime(t);
            if (writer.AppendRecord(record) != 1) std::abort();
        });
    }
    const double ms = total / static_cast<double>(state.iterations());
    state.counters["ms_per_append"] = ms;
    if (g_plainMs > 0) state.counters["ratio_to_plain"] = ms / g_plainMs;
    state.counters["share_of_1s_interval_pct"] = ms / 1000.0 * 100.0;
}
BENCHMARK(BM_AppendDurable)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
