#pragma once
// Everything the calculation data graph shows, without a widget: one derived value of a set of
// records over measurement time or record order, and the read-out that the window paints over it
// (never part of the picture that is copied, saved or printed).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/config/NumericalGraphPrm.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/Range.h"
#include "core/graph/RgbImage.h"
#include "core/graph/Surface.h"
#include "core/metrics/DailyLightIntegral.h"
#include "render/GraphCommand.h"

class QtSurfaceImage;
namespace metrics {
class MetricsCalculator;
}

class CNumericalGraphPicture {
public:
    static constexpr int kIntegrationKind = 8;
    static constexpr std::uint32_t kPlotBackground = 0xEBEBEB;
    static constexpr std::uint32_t kBandColor = 0x404000;

    CNumericalGraphPicture();
    ~CNumericalGraphPicture();

    CNumericalGraphPrm& Prm() { return prm_; }
    bool LoadSettings() { return prm_.Load(); }
    void ShowRecords(const CSpectrumDataSet& records);
    const CSpectrumDataSet& Records() const { return records_; }
    bool HasRecords() const { return records_.Count() > 0; }

    // SHOW_KIND limited to the kinds there are; a value outside counts as integration.
    int Kind() const;
    // String-table label of the kind, also the Y axis title.
    int KindLabel() const;
    double ValueOf(int index);
    double XOf(int index) const;
    // The days of the daily light integral bars, as the last drawing of that kind made them.
    const std::vector<metrics::DayLightIntegral>& Days() const { return days_; }
    // The day a cursor at x picks, with its column on the plot; -1 without days.
    int PickDay(int x, int& column) const;

    void DrawGraph(Surface& surface);
    const SurfaceRect& PlotRect() const { return plot_; }
    const CDRange& YRange() const { return yRange_; }

    // The read-out for a cursor at client x: picks the record and draws the band, marker and texts.
    // False when x lies outside the plot or there is nothing to pick.
    bool DrawReadOut(Surface& surface, int x);
    // The record a cursor at x picks, with its column on the plot; -1 without records.
    int Pick(int x, int& column) const;
    // Width of the highlight band for the current plot and records.
    int BandWidth() const;

    bool Render(int width, int height);
    const QtSurfaceImage* Graph() const { return graph_.get(); }
    const RgbImage& GraphPixels() const { return pixels_; }

    bool Execute(GraphCommand command);
    bool Enabled(GraphCommand command) const;

private:
    std::pair<CPrmFloat*, CPrmFloat*> RangeKeys();
    double HalfSpacing() const;
    // A light-quality value of a record; NaN when the record cannot support it.
    double MetricOf(int index, int kind);
    // The daily light integral as one bar per day below the title.
    void DrawDays(Surface& surface, int titleHeight);
    bool DrawDayReadOut(Surface& surface, int x);
    double DayX(int day) const;
    double DaySpan() const;

    CNumericalGraphPrm prm_;
    CSpectrumDataSet records_;
    std::unique_ptr<metrics::MetricsCalculator> calculator_;
    std::vector<std::optional<double>> metricCache_;  // per record, of cachedKind_
    int cachedKind_ = -1;
    std::vector<metrics::DayLightIntegral> days_;
    CDRange dayRange_{0, 0};  // the X range of the bars
    SurfaceRect plot_{};
    CDRange yRange_{0, 0};
    std::unique_ptr<QtSurfaceImage> graph_;
    RgbImage pixels_;
};
