// Configuration sections are loaded on demand (every dialog and graph window opens its own), so
// a Load of the biggest sections must stay well below a frame: target < 1 ms of CPU each. Saves
// are dominated by the fsync of the atomic write.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "core/config/BaseDataPrm.h"
#include "core/config/DataGraphPrm.h"
#include "core/config/NumericalGraphPrm.h"

namespace {

// A full ZQ118.ini and ZQ118_BASE.ini in a scratch folder, made once.
struct Folder {
    Folder() {
        char pattern[] = "/tmp/heliarc_bench_config_XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::current_path(dir);
        CDataGraphPrm dg;
        dg.Save();
        CNumericalGraphPrm ng;
        ng.Save();
        CBaseDataPrm base;
        base.LoadHistory();
        for (int i = 0; i < 19; ++i) {
            base.m_FileDates.push_back(1241000000 + i * 86400);
            base.m_Offsets.push_back(static_cast<uint32_t>(i * 2560));
        }
        base.SaveHistory();
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string dir;
};

Folder& Scratch() {
    static Folder f;
    return f;
}

void BM_LoadDataGraph(benchmark::State& state) {
    Scratch();
    for (auto _ : state) {
        CDataGraphPrm prm;
        benchmark::DoNotOptimize(prm.Load());
    }
}
BENCHMARK(BM_LoadDataGraph)->Unit(benchmark::kMicrosecond);

void BM_LoadHistory(benchmark::State& state) {
    Scratch();
    for (auto _ : state) {
        CBaseDataPrm prm;
        benchmark::DoNotOptimize(prm.LoadHistory());
    }
}
BENCHMARK(BM_LoadHistory)->Unit(benchmark::kMicrosecond);

void BM_SaveHistory(benchmark::State& state) {
    Scratch();
    CBaseDataPrm prm;
    prm.LoadHistory();
    for (auto _ : state) benchmark::DoNotOptimize(prm.SaveHistory());
}
BENCHMARK(BM_SaveHistory)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
