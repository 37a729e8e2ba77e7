// The 3-D graph window's work: one full rendering of the waterfall at 800 x 600, as every step of a
// drag redraws it, for 100 records (target under 30 ms a frame) and for 1,000.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>

#include "core/graph/RecordingSurface.h"
#include "render/3DGraphPicture.h"

namespace {

// A daylight-like record of 256 pixels from 340 nm whose level follows the hour.
CSpectrumData Record(float scale, long long time) {
    CSpectrumData r;
    r.SetTime(time);
    r.SetTypeCode("100");
    r.SetTemperature(20.0f);
    r.SetExposureTime(50);
    r.SetCoefficient(0, 340.0f);
    r.SetCoefficient(1, 2.8f);
    for (std::size_t k = 2; k < 5; ++k) r.SetCoefficient(k, 0.0f);
    r.SetValid(1);
    std::vector<float> sig(256), cal(256, 0.02f);
    for (int i = 0; i < 256; ++i) {
        const double nm = 340 + 2.8 * i;
        sig[static_cast<std::size_t>(i)] =
            static_cast<float>(scale * (30000 * std::exp(-std::pow((nm - 560) / 200, 2)) + 600 * std::sin(nm / 9)));
    }
    r.SetSignal(sig);
    r.SetCalibration(cal);
    return r;
}

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "bench_3d";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

// Each frame turns the picture a little, as a drag does; the series are built once.
void BM_ThreeDRender800x600(benchmark::State& state) {
    App();
    const int n = static_cast<int>(state.range(0));
    CSpectrumDataSet set;
    for (int i = 0; i < n; ++i)
        set.Append(Record(0.5f + 0.5f * std::sin(i * 3.14159 / n), 1240000000LL + 300LL * i), 0, 2560LL * i);
    const CSpectrumData standard = Record(1.0f, 1230000000);
    C3DGraphPicture picture;
    picture.LoadSettings();  // the defaults, unless the working folder holds a ZQ118.ini
    picture.SetData(set, &standard);
    // What one frame draws, so the figures can be compared with other data.
    RecordingSurface count(800, 600);
    picture.DrawGraph(count);
    state.counters["lines"] = static_cast<double>(count.CallsOf(RecordedCall::Kind::Polyline).size());
    int step = 0;
    for (auto _ : state) {
        picture.Prm().m_ANGLE_THETA = static_cast<float>(30 + step++ % 30);
        if (!picture.Render(800, 600)) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(picture.Graph());
    }
}
BENCHMARK(BM_ThreeDRender800x600)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
