#pragma once
// Series drawn as polylines inside a plot rectangle; the X range maps onto left..right and the Y
// range onto bottom..top. Subclasses add axes, grid and markers.
#include <cstdint>
#include <vector>

#include "core/data/Range.h"
#include "core/graph/Surface.h"

class CLineGraph {
public:
    explicit CLineGraph(Surface* surface, std::uint32_t backgroundColor = 0xFFFFFF);
    CLineGraph(Surface* surface, const SurfaceRect& plotRect, std::uint32_t backgroundColor);
    virtual ~CLineGraph() = default;

    void SetPlotRect(const SurfaceRect& r) { rect_ = r; }
    const SurfaceRect& GetPlotRect() const { return rect_; }
    void SetBackgroundColor(std::uint32_t color) { background_ = color; }
    std::uint32_t GetBackgroundColor() const { return background_; }
    const CDRange& GetXRange() const { return x_; }
    const CDRange& GetYRange() const { return y_; }

    // Data ranges over the finite values of the series; a series without any leaves the range as
    // it was.
    virtual void SetXRangeFromData(const GraphSeries& series);
    virtual void SetXRange(double min, double max);
    virtual void SetYRangeFromData(const GraphSeries& series);
    virtual void SetYRange(double min, double max);
    virtual void DrawBackground(std::uint32_t color, const GraphSeries& series);
    virtual void DrawForeground(std::uint32_t color, const GraphSeries& series);
    // One series; erase fills the plot rectangle with the background and draws the background
    // layer first, so a view passes erase only with its first series.
    virtual void Draw(std::uint32_t color, const GraphSeries& series, bool erase);

    // Plot position of a data point: mapped, truncated toward zero and clamped into the plot
    // rectangle; a non-finite coordinate lands on the nearest edge (NaN on the left or bottom).
    SurfacePoint PlotPoint(double x, double y) const;
    int PlotX(double x) const;
    int PlotY(double y) const;

    // The polyline through points with each run of points in one column cut to its first point, its
    // extremes and its last point: the same pixels in a line one pixel wide.
    static std::vector<SurfacePoint> Thinned(const std::vector<SurfacePoint>& points);
    // Height of the tick labels in pixels; 0 keeps the usual graph_style::kLabelHeight.
    void SetLabelHeight(int pixels) { labelHeight_ = pixels; }
    int LabelHeight() const;

protected:
    // Five-pixel circles on the points, in the series colour (both axis graphs share them).
    void DrawMarkers(std::uint32_t color, const GraphSeries& series);
    // The dotted grid's Y part, the Y labels (ticks 1 .. Count - 2) and the frame.
    void DrawYAxisGridAndFrame(bool showGrid);

    Surface* surface_;
    SurfaceRect rect_;
    CDRange x_{0, 0};
    CDRange y_{0, 0};
    std::uint32_t background_;
    int labelHeight_ = 0;
};

// Shared look of the axis graphs.
namespace graph_style {
constexpr std::uint32_t kGridColor = 0x00FF00;
constexpr std::uint32_t kFrameColor = 0x00FF00;
constexpr int kLabelHeight = 9;
constexpr int kDesiredTicks = 7;
}  // namespace graph_style
