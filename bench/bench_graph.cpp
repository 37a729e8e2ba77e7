// Rendering a full spectrum plot into the Qt surface, the work of one window redraw.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>

#include "core/graph/DIB.h"
#include "core/graph/DataGraph.h"
#include "render/QtSurfaceImage.h"

namespace {

GraphSeries DaylightLike() {
    GraphSeries s;
    for (int i = 0; i < 256; ++i) {
        const double nm = 350 + i * 700.0 / 255;
        s.Append(nm, 1500 * std::exp(-std::pow((nm - 550) / 180, 2)) + 40 * std::sin(nm / 7));
    }
    return s;
}

void BM_SpectrumPlot700x500(benchmark::State& state) {
    auto surface = QtSurfaceImage::Create(700, 500);
    const GraphSeries series = DaylightLike();
    for (auto _ : state) {
        surface->FillRect({0, 0, 700, 500}, 0xFFFFFF);
        CDataGraph graph(surface.get(), SurfaceRect{60, 20, 660, 440}, 0xEBEBEB, true, false);
        graph.SetXRange(350, 1050);
        graph.SetYRangeFromData(series);
        graph.Draw(0x0000FF, series, true);
        benchmark::DoNotOptimize(surface->Image().constBits());
    }
}
BENCHMARK(BM_SpectrumPlot700x500)->Unit(benchmark::kMillisecond);

void BM_SaveAsBitmap700x500(benchmark::State& state) {
    auto surface = QtSurfaceImage::Create(700, 500);
    for (auto _ : state) {
        CDIB dib;
        dib.FromBitmap(*surface, 24);
        benchmark::DoNotOptimize(dib.FileBytes().size());
    }
}
BENCHMARK(BM_SaveAsBitmap700x500)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
