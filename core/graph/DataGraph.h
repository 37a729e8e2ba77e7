#pragma once
// Spectrum graphs and thumbnails: X ticks inside the range, Y ticks around it (snapped), a dotted
// green grid, "%g" labels, a green frame and optional point markers.
#include <cstdint>
#include <vector>

#include "core/graph/LineGraph.h"

class CDataGraph : public CLineGraph {
public:
    CDataGraph(Surface* surface, std::uint32_t backgroundColor, bool showGrid, bool showMarker);
    CDataGraph(Surface* surface, const SurfaceRect& plotRect, std::uint32_t backgroundColor, bool showGrid,
               bool showMarker);

    void SetXRange(double min, double max) override;
    // Snapped to the outer ticks of the data.
    void SetYRangeFromData(const GraphSeries& series) override;
    void DrawBackground(std::uint32_t color, const GraphSeries& series) override;
    void DrawForeground(std::uint32_t color, const GraphSeries& series) override;
    // One snapped Y range over every finite point of every series; with none it is 0 .. 0 snapped.
    virtual void SetYRangeFromSeriesList(const std::vector<const GraphSeries*>& list);
    void SetYRangeFromSeriesList(const std::vector<GraphSeries>& list);
    // snap: the range becomes the first .. last outer tick of min .. max.
    virtual void SetYRangeSnapped(double min, double max, bool snap);

    // Secondary axis on the right edge for the current Y range: tick marks (with the grid on) and
    // labels for ticks 1 .. Count - 2.
    void DrawRightAxis();

    bool ShowGrid() const { return showGrid_ != 0; }
    bool ShowMarker() const { return showMarker_ != 0; }

protected:
    std::int32_t showGrid_;
    std::int32_t showMarker_;
};

// Sets a range snapped to the outer ticks; shared by both axis graphs.
void SnapRange(double min, double max, double& snappedMin, double& snappedMax);
