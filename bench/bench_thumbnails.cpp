// The measured data thumbnails over a year of records every 15 minutes (35,040), client area
// 160 x 880: one scroll step as the user feels it (the record that comes into view drawn there and
// then), the same step when idle time has drawn the page ahead, and a redraw of every visible tile
// without the cache for comparison.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <set>

#include "core/data/SpectrumDataSet.h"
#include "render/ThumbnailPicture.h"

namespace {

constexpr int kRecords = 35040;

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "bench_thumbnails";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

// Daylight-like spectra, each a little different, so no two records share a tile.
const CSpectrumDataSet& Year() {
    static CSpectrumDataSet set = [] {
        CSpectrumDataSet s;
        CSpectrumData r;
        r.SetTypeCode("100");
        r.SetTemperature(20.0f);
        r.SetExposureTime(50);
        r.SetCoefficient(0, 300.0f);
        r.SetCoefficient(1, 3.1372549f);
        std::vector<float> sig(256), cal(256, 0.02f);
        for (int i = 0; i < kRecords; ++i) {
            const double sun = 0.2 + 0.8 * std::fabs(std::sin(i * 3.14159 / 96));
            for (int k = 0; k < 256; ++k) {
                const double nm = 300 + 3.137 * k;
                sig[static_cast<std::size_t>(k)] =
                    static_cast<float>(sun * (30000 * std::exp(-std::pow((nm - 560) / 220, 2)) + 500 * std::sin(nm / 9 + i)));
            }
            r.SetSignal(sig);
            r.SetCalibration(cal);
            r.SetTime(1230735600 + 900LL * i);
            s.Append(r, r.GetTime() - r.GetTime() % 86400, (i % 96) * 2560LL);
        }
        return s;
    }();
    return set;
}

void Prepare(CDataThumbnailPicture& picture, CRowSet& selection, benchmark::State& state) {
    App();
    picture.Attach(&Year(), &selection);
    picture.Layout(160, 880);
    if (!picture.Render()) state.SkipWithError("render failed");
    state.counters["tiles"] = picture.TileCount();
}

// Moves one record down; at the end starts again at the top with an empty cache, so every step
// meets a record not drawn before.
void Step(CDataThumbnailPicture& picture) {
    if (!picture.Scroll(CDataThumbnailPicture::kLineDown)) {
        picture.SetFirst(0);
        picture.Cache().Clear();
    }
}

void BM_ThumbnailScrollStep160x880(benchmark::State& state) {
    CDataThumbnailPicture picture;
    CRowSet selection;
    selection.rows = {3, 4, 5};
    Prepare(picture, selection, state);
    for (auto _ : state) {
        Step(picture);
        if (!picture.Render()) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(picture.BackBuffer().constBits());
    }
    state.counters["drawn_per_step"] = benchmark::Counter(static_cast<double>(picture.Cache().Draws()),
                                                          benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ThumbnailScrollStep160x880)->Unit(benchmark::kMillisecond);

void BM_ThumbnailScrollStepPrefetched160x880(benchmark::State& state) {
    CDataThumbnailPicture picture;
    CRowSet selection;
    selection.rows = {3, 4, 5};
    Prepare(picture, selection, state);
    for (auto _ : state) {
        state.PauseTiming();
        while (picture.PrefetchOne()) {
        }
        state.ResumeTiming();
        Step(picture);
        if (!picture.Render()) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(picture.BackBuffer().constBits());
    }
}
BENCHMARK(BM_ThumbnailScrollStepPrefetched160x880)->Unit(benchmark::kMillisecond);

void BM_ThumbnailRedrawAllTiles160x880(benchmark::State& state) {
    CDataThumbnailPicture picture;
    CRowSet selection;
    selection.rows = {3, 4, 5};
    Prepare(picture, selection, state);
    for (auto _ : state) {
        picture.Cache().Clear();
        if (!picture.Render()) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(picture.BackBuffer().constBits());
    }
}
BENCHMARK(BM_ThumbnailRedrawAllTiles160x880)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
