#pragma once
// Calculation data graphs: like the spectrum graph, with the X ticks given (dated times); the dotted
// grid has a vertical line at every tick, or at every point of the series where no ticks are given,
// and the Y range is exact unless snapped explicitly.
#include <cstdint>
#include <string>
#include <vector>

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
    struct XTick {
        double x;
        std::string label;
    };
    // Grid lines at these x and their labels under the plot (a label that would run into the one
    // before it is left out).
    void SetXTicks(std::vector<XTick> ticks);

    bool ShowGrid() const { return showGrid_ != 0; }
    bool ShowMarker() const { return showMarker_ != 0; }

protected:
    std::int32_t showGrid_;
    std::int32_t showMarker_;
    bool hasTicks_ = false;
    std::vector<XTick> ticks_;
};
