#include "core/graph/DataGraph.h"

#include <cmath>

#include "core/graph/Scale.h"
#include "core/graph/TextOut.h"
#include "core/platform/Text.h"

void SnapRange(double min, double max, double& snappedMin, double& snappedMax) {
    CScale ticks;
    ticks.Compute(min, max, graph_style::kDesiredTicks, false);
    if (ticks.Count() == 0) {
        // Nothing to snap to (a non-finite bound): keep what was given.
        snappedMin = min;
        snappedMax = max;
        return;
    }
    snappedMin = ticks.At(0);
    snappedMax = ticks.At(ticks.Count() - 1);
}

CDataGraph::CDataGraph(Surface* surface, std::uint32_t backgroundColor, bool showGrid, bool showMarker)
    : CLineGraph(surface, backgroundColor), showGrid_(showGrid ? 1 : 0), showMarker_(showMarker ? 1 : 0) {}

CDataGraph::CDataGraph(Surface* surface, const SurfaceRect& plotRect, std::uint32_t backgroundColor, bool showGrid,
                       bool showMarker)
    : CLineGraph(surface, plotRect, backgroundColor), showGrid_(showGrid ? 1 : 0), showMarker_(showMarker ? 1 : 0) {}

void CDataGraph::SetXRange(double min, double max) { x_.Set(min, max); }

namespace {

// Smallest and largest finite y over the series; false when there is none.
bool FiniteYRange(const std::vector<const GraphSeries*>& list, double& lo, double& hi) {
    bool any = false;
    for (const GraphSeries* s : list) {
        if (s == nullptr) continue;
        for (const GraphSeries::Point& p : s->Points()) {
            if (!std::isfinite(p.second)) continue;
            if (!any) {
                lo = hi = p.second;
                any = true;
            } else {
                lo = std::fmin(lo, p.second);
                hi = std::fmax(hi, p.second);
            }
        }
    }
    return any;
}

}  // namespace

void CDataGraph::SetYRangeFromData(const GraphSeries& series) {
    double lo = 0, hi = 0;
    if (FiniteYRange({&series}, lo, hi)) SetYRangeSnapped(lo, hi, true);
}

void CDataGraph::SetYRangeFromSeriesList(const std::vector<const GraphSeries*>& list) {
    double lo = 0, hi = 0;
    FiniteYRange(list, lo, hi);  // with no points both stay 0
    SetYRangeSnapped(lo, hi, true);
}

void CDataGraph::SetYRangeFromSeriesList(const std::vector<GraphSeries>& list) {
    std::vector<const GraphSeries*> pointers;
    pointers.reserve(list.size());
    for (const GraphSeries& s : list) pointers.push_back(&s);
    SetYRangeFromSeriesList(pointers);
}

void CDataGraph::SetYRangeSnapped(double min, double max, bool snap) {
    if (snap) SnapRange(min, max, min, max);
    SetYRange(min, max);
}

void CDataGraph::DrawBackground(std::uint32_t, const GraphSeries&) {
    if (surface_ == nullptr) return;
    CScale xTicks;
    xTicks.Compute(x_.GetMin(), x_.GetMax(), graph_style::kDesiredTicks, true);
    SurfacePen old = surface_->SelectPen(SurfacePen{PenStyle::Dotted, 1, graph_style::kGridColor});
    CTextOut text(surface_, LabelHeight(), 0);
    for (std::size_t i = 0; i < xTicks.Count(); ++i) {
        const int px = PlotX(xTicks.At(i));
        if (ShowGrid()) surface_->Line(px, rect_.top, px, rect_.bottom);
        text.DrawText(px, rect_.bottom + 5 * LabelHeight() / graph_style::kLabelHeight, platform::FormatG(xTicks.At(i)), TextAlign::kCenter | TextAlign::kTop, 0);
    }
    surface_->SelectPen(old);
    DrawYAxisGridAndFrame(ShowGrid());
}

void CDataGraph::DrawForeground(std::uint32_t color, const GraphSeries& series) {
    if (ShowMarker()) DrawMarkers(color, series);
}

void CDataGraph::DrawRightAxis() {
    if (surface_ == nullptr) return;
    CScale yTicks;
    yTicks.Compute(y_.GetMin(), y_.GetMax(), graph_style::kDesiredTicks, false);
    SurfacePen old = surface_->SelectPen(SurfacePen{PenStyle::Solid, 1, graph_style::kGridColor});
    CTextOut text(surface_, LabelHeight(), 0);
    for (std::size_t i = 1; i + 1 < yTicks.Count(); ++i) {
        const int py = PlotY(yTicks.At(i));
        if (ShowGrid()) surface_->Line(rect_.right, py, rect_.right - 5, py);
        text.DrawText(rect_.right + 5, py, platform::FormatG(yTicks.At(i)), TextAlign::kLeft | TextAlign::kBaseline, 0);
    }
    surface_->SelectPen(old);
}
