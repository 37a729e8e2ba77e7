#include "core/graph/NumericalGraph.h"

#include <algorithm>

#include "core/graph/DataGraph.h"
#include "core/graph/TextOut.h"

CNumericalGraph::CNumericalGraph(Surface* surface, std::uint32_t backgroundColor, bool showGrid, bool showMarker)
    : CLineGraph(surface, backgroundColor), showGrid_(showGrid ? 1 : 0), showMarker_(showMarker ? 1 : 0) {}

CNumericalGraph::CNumericalGraph(Surface* surface, const SurfaceRect& plotRect, std::uint32_t backgroundColor,
                                 bool showGrid, bool showMarker)
    : CLineGraph(surface, plotRect, backgroundColor), showGrid_(showGrid ? 1 : 0), showMarker_(showMarker ? 1 : 0) {}

void CNumericalGraph::SetXRange(double min, double max) { x_.Set(min, max); }

void CNumericalGraph::SetYRangeSnapped(double min, double max, bool snap) {
    if (snap) SnapRange(min, max, min, max);
    SetYRange(min, max);
}

void CNumericalGraph::SetXTicks(std::vector<XTick> ticks) {
    ticks_ = std::move(ticks);
    hasTicks_ = true;
}

void CNumericalGraph::DrawBackground(std::uint32_t, const GraphSeries& series) {
    if (surface_ == nullptr) return;
    if (hasTicks_) {
        CTextOut text(surface_, LabelHeight(), 0);
        const SurfacePen old = surface_->SelectPen(SurfacePen{PenStyle::Dotted, 1, graph_style::kGridColor});
        int freeFrom = rect_.left - 1000;
        for (const XTick& t : ticks_) {
            const int px = PlotX(t.x);
            if (px < rect_.left || px > rect_.right) continue;
            if (ShowGrid()) surface_->Line(px, rect_.top, px, rect_.bottom);
            const int half = text.TextExtent(t.label, 0).cx / 2;
            // A label at either end is moved in so that it stays whole inside the picture.
            const int cx = std::clamp(px, half, std::max(half, surface_->Width() - half - 1));
            if (cx - half < freeFrom) continue;
            text.DrawText(cx, rect_.bottom + 5, t.label, TextAlign::kCenter | TextAlign::kTop, 0);
            freeFrom = cx + half + 6;
        }
        surface_->SelectPen(old);
    } else if (ShowGrid()) {
        SurfacePen old = surface_->SelectPen(SurfacePen{PenStyle::Dotted, 1, graph_style::kGridColor});
        for (const GraphSeries::Point& p : series.Points()) {
            const int px = PlotX(p.first);
            surface_->Line(px, rect_.top, px, rect_.bottom);
        }
        surface_->SelectPen(old);
    }
    DrawYAxisGridAndFrame(ShowGrid());
}

void CNumericalGraph::DrawForeground(std::uint32_t color, const GraphSeries& series) {
    if (ShowMarker()) DrawMarkers(color, series);
}
