#include "core/graph/LineGraph.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/graph/Scale.h"
#include "core/graph/TextOut.h"
#include "core/platform/Text.h"

namespace {

// Linear map from (s0, s1) onto (d0, d1), truncated toward zero and clamped into lo..hi.
// Non-finite results (a degenerate range, a NaN or infinite value) go to an edge.
int MapClamped(double v, double s0, double s1, int d0, int d1, int lo, int hi, int nanEdge) {
    const double m = (static_cast<double>(d1) - d0) * (v - s0) / (s1 - s0) + d0;
    if (std::isnan(m)) return nanEdge;
    if (m <= lo) return lo;
    if (m >= hi) return hi;
    return static_cast<int>(std::trunc(m));
}

bool FiniteRange(const GraphSeries& series, bool useY, double& lo, double& hi) {
    bool any = false;
    for (const GraphSeries::Point& p : series.Points()) {
        const double v = useY ? p.second : p.first;
        if (!std::isfinite(v)) continue;
        if (!any) {
            lo = hi = v;
            any = true;
        } else {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    return any;
}

}  // namespace

CLineGraph::CLineGraph(Surface* surface, std::uint32_t backgroundColor)
    : surface_(surface), background_(backgroundColor) {}

CLineGraph::CLineGraph(Surface* surface, const SurfaceRect& plotRect, std::uint32_t backgroundColor)
    : surface_(surface), rect_(plotRect), background_(backgroundColor) {}

void CLineGraph::SetXRangeFromData(const GraphSeries& series) {
    double lo = 0, hi = 0;
    if (FiniteRange(series, false, lo, hi)) SetXRange(lo, hi);
}

void CLineGraph::SetXRange(double min, double max) { x_.Set(min, max); }

void CLineGraph::SetYRangeFromData(const GraphSeries& series) {
    double lo = 0, hi = 0;
    if (FiniteRange(series, true, lo, hi)) CLineGraph::SetYRange(lo, hi);
}

void CLineGraph::SetYRange(double min, double max) { y_.Set(min, max); }

void CLineGraph::DrawBackground(std::uint32_t, const GraphSeries&) {}

void CLineGraph::DrawForeground(std::uint32_t, const GraphSeries&) {}

int CLineGraph::PlotX(double x) const {
    const int lo = std::min(rect_.left, rect_.right), hi = std::max(rect_.left, rect_.right);
    return MapClamped(x, x_.GetMin(), x_.GetMax(), rect_.left, rect_.right, lo, hi, rect_.left);
}

int CLineGraph::PlotY(double y) const {
    const int lo = std::min(rect_.top, rect_.bottom), hi = std::max(rect_.top, rect_.bottom);
    return MapClamped(y, y_.GetMin(), y_.GetMax(), rect_.bottom, rect_.top, lo, hi, rect_.bottom);
}

SurfacePoint CLineGraph::PlotPoint(double x, double y) const { return {PlotX(x), PlotY(y)}; }

std::vector<SurfacePoint> CLineGraph::Thinned(const std::vector<SurfacePoint>& points) {
    std::vector<SurfacePoint> out;
    for (std::size_t i = 0; i < points.size();) {
        std::size_t j = i, low = i, high = i;
        for (; j < points.size() && points[j].x == points[i].x; ++j) {
            if (points[j].y < points[low].y) low = j;
            if (points[j].y > points[high].y) high = j;
        }
        std::size_t keep[4] = {i, std::min(low, high), std::max(low, high), j - 1};
        for (std::size_t k = 0; k < 4; ++k)
            if (k == 0 || keep[k] != keep[k - 1]) out.push_back(points[keep[k]]);
        i = j;
    }
    return out;
}

void CLineGraph::Draw(std::uint32_t color, const GraphSeries& series, bool erase) {
    if (surface_ == nullptr) return;
    if (erase) {
        surface_->FillRect(rect_, background_);
        DrawBackground(color, series);
    }
    if (series.Count() > 0) {
        SurfacePen old = surface_->SelectPen(SurfacePen{PenStyle::Solid, 1, color});
        std::vector<SurfacePoint> points;
        points.reserve(series.Count());
        for (const GraphSeries::Point& p : series.Points()) points.push_back(PlotPoint(p.first, p.second));
        // Far more points than columns (a year of records): within a column the line only needs
        // its first and last point and its extremes, which cover the same pixels.
        if (points.size() > 4 * static_cast<std::size_t>(std::abs(rect_.right - rect_.left) + 1)) points = Thinned(points);
        surface_->Polyline(points);  // a single point draws nothing
        surface_->SelectPen(old);
    }
    DrawForeground(color, series);
}

void CLineGraph::DrawMarkers(std::uint32_t color, const GraphSeries& series) {
    if (surface_ == nullptr || series.Count() == 0) return;
    // The brush is left as it is: the views' memory surfaces keep the default white one.
    SurfacePen old = surface_->SelectPen(SurfacePen{PenStyle::Solid, 1, color});
    for (const GraphSeries::Point& p : series.Points()) {
        const SurfacePoint c = PlotPoint(p.first, p.second);
        surface_->Ellipse({c.x - 2, c.y - 2, c.x + 3, c.y + 3});
    }
    surface_->SelectPen(old);
}

void CLineGraph::DrawYAxisGridAndFrame(bool showGrid) {
    CScale yTicks;
    yTicks.Compute(y_.GetMin(), y_.GetMax(), graph_style::kDesiredTicks, false);
    SurfacePen old = surface_->SelectPen(SurfacePen{PenStyle::Dotted, 1, graph_style::kGridColor});
    CTextOut text(surface_, LabelHeight(), 0);
    // The first and last ticks lie on or beyond the frame; they get neither line nor label.
    for (std::size_t i = 1; i + 1 < yTicks.Count(); ++i) {
        const int py = PlotY(yTicks.At(i));
        if (showGrid) surface_->Line(rect_.left, py, rect_.right, py);
        text.DrawText(rect_.left - 5, py, platform::FormatG(yTicks.At(i)), TextAlign::kRight | TextAlign::kBaseline, 0);
    }
    surface_->SelectPen(old);
    surface_->FrameRect({rect_.left, rect_.top, rect_.right + 1, rect_.bottom + 1}, graph_style::kFrameColor);
}

int CLineGraph::LabelHeight() const { return labelHeight_ > 0 ? labelHeight_ : graph_style::kLabelHeight; }
