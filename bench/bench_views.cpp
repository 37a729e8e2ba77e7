// The spectrum graph window's work: a full rendering with measured, standard, difference and ratio
// curves at 700 x 500, and one step of the cursor read-out while the mouse is dragged.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>

#include "render/DataGraphPicture.h"

namespace {

// A daylight-like record of 256 pixels from 340 nm.
CSpectrumData Record(float scale, long long time) {
    CSpectrumData r;
    r.SetTime(time);
    r.SetTypeCode("100");
    r.SetTemperature(20.0f);
    r.SetExposureTime(50);
    r.SetCoefficient(0, 340.0f);
    r.SetCoefficient(1, 2.8f);
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

void Prepare(CDataGraphPicture& picture, const CSpectrumData& record, const CSpectrumData& standard) {
    picture.LoadSettings();
    picture.ShowMeasured(record, &standard);
    auto& prm = picture.Prm();
    prm.m_SHOW_BASE_DATA = 1;
    prm.m_SHOW_DIFFERENCE_DATA = 1;
    prm.m_SHOW_RATIO_DATA = 1;
    prm.m_RANGE_AUTO_RATIO = 1;
}

void BM_SpectrumViewRenderFourCurves700x500(benchmark::State& state) {
    const CSpectrumData record = Record(1.0f, 1240000000);
    const CSpectrumData standard = Record(1.2f, 1230000000);
    CDataGraphPicture picture;
    Prepare(picture, record, standard);
    for (auto _ : state) {
        if (!picture.Render(700, 500)) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(picture.Display());
    }
}
BENCHMARK(BM_SpectrumViewRenderFourCurves700x500)->Unit(benchmark::kMillisecond);

void BM_SpectrumViewReadOutStep(benchmark::State& state) {
    const CSpectrumData record = Record(1.0f, 1240000000);
    const CSpectrumData standard = Record(1.2f, 1230000000);
    CDataGraphPicture picture;
    Prepare(picture, record, standard);
    picture.Render(700, 500);
    const SurfaceRect plot = picture.PlotRect();
    int x = plot.left;
    for (auto _ : state) {
        if (!picture.ReadOutAt(x)) state.SkipWithError("read-out failed");
        x = x + 7 < plot.right ? x + 7 : plot.left;
    }
}
BENCHMARK(BM_SpectrumViewReadOutStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
