#pragma once
// Calculation data graphs: like the spectrum graph but without X ticks; the dotted grid has a
// vertical line at every point of the series, and the Y range is exact unless snapped explicitly.
#include <cstdint>

#include "core/graph/LineGraph.h"

class CNumericalGraph : public CLineGraph {
public:
    CNumericalGraph(Surface* surface, std::uint32_t backgroundColor, bool showGrid, bool showMarker);
    CNumericalGraph(Surface* surface, const SurfaceRect& plotRect, std::uint32_t backgroundColor, bool showGrid,
                    bool showMarker);

    void SetXRange(double min, double max) override;
    void DrawBackground(std::uint32_t color, const GraphSeries& series) override;
    void DrawForeground(std::uint32_t color, const GraphSeries& series) override;
    virtual void SetYRangeSnapped(double min, double max, bool snap);

    bool ShowGrid() const { return showGrid_ != 0; }
    bool ShowMarker() const { return showMarker_ != 0; }

protected:
    std::int32_t showGrid_;
    std::int32_t showMarker_;
};
