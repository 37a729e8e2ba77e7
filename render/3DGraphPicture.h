#pragma once
// Everything the 3-D graph shows, without a widget: a waterfall of several records, wavelength
// across, time in depth and the value (irradiance, ratio to the standard or difference to it) in
// height, seen from the angles of the 3D_GRAPH section. The window and heliarc-cli render both draw
// through this class.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/config/3DGraphPrm.h"
#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/Range.h"
#include "core/graph/Surface.h"
#include "render/GraphCommand.h"

class QtSurfaceImage;

class C3DGraphPicture {
public:
    static constexpr double kMinWavelength = 350;
    static constexpr double kMaxWavelength = 1050;
    static constexpr std::uint32_t kSideWallColor = 0xEBEBEB;
    static constexpr std::uint32_t kFloorColor = 0xD7D7D7;
    static constexpr std::uint32_t kGridColor = 0x00FF00;  // green, 0x00BBGGRR
    // A drag turns the box a degree for every kPixelsPerDegree pixels; the elevation stays within
    // kMinElevation .. kMaxElevation so a long drag never lands on a flat view from above or the side.
    static constexpr int kPixelsPerDegree = 4;
    static constexpr double kMinElevation = 10;
    static constexpr double kMaxElevation = 80;

    // What the last drawing worked with, for the tests and the benchmark.
    struct Layout {
        long long depth = 0;       // D: the time axis runs from 0 to D world units
        int stride = 1;            // every stride-th record is drawn
        double t0 = 0, t1 = 0;     // time axis
        double lo = 0, hi = 0;     // value axis
        SurfacePoint windowOrg;
        SurfaceSize windowExt;
        SurfaceSize viewportExt;  // granted by the isotropic mapping
        SurfacePoint viewportOrg;
        std::vector<SurfaceRect> labels;  // every text's box in pixels, the title first
    };

    C3DGraphPicture();
    ~C3DGraphPicture();

    C3DGraphPrm& Prm() { return prm_; }
    const C3DGraphPrm& Prm() const { return prm_; }
    bool LoadSettings() { return prm_.Load(); }

    // Copies the records and the standard record; without one the kind becomes measured data.
    void SetData(const CSpectrumDataSet& records, const CSpectrumData* standard);
    const CSpectrumDataSet& Records() const { return records_; }
    bool StandardPresent() const { return standardPresent_; }

    // SHOW_KIND limited to 0 .. 2; ratio and difference need the standard record.
    int Kind() const;
    // The time coordinate of a record by TIME_AXIS_KIND.
    double TimeOf(int index) const;
    // The box's depth for n records on a box of width by height world units: a tenth of the height
    // a record, but never deeper than the box is wide, so the box keeps its shape however many.
    static long long Depth(int n, int width, int height);
    // Every how many records one is drawn so that their ribbons do not overlap.
    static int Stride(int n, long long depth);

    void DrawGraph(Surface& surface);
    const Layout& LastLayout() const { return layout_; }

    // The picture on the Qt surface at the client size; false when no image of that size can be had
    // (the previous picture stays).
    bool Render(int width, int height);
    const QtSurfaceImage* Graph() const { return graph_.get(); }

    // Zoom and shift (in memory only); false when the command changed nothing.
    bool Execute(GraphCommand command);
    bool Enabled(GraphCommand command) const;
    bool IrradianceAdjustable() const;
    bool RatioAdjustable() const;
    // Turning by a drag of (dx, dy) pixels, in whole degrees: the azimuth kept in 0 .. 90, the
    // elevation in the bounds above (an angle already outside them only moves toward them).
    // False when neither angle moved.
    bool Turn(int dx, int dy);

private:
    struct SeriesKey {
        int kind = -1;
        float minX = 0, maxX = 0;
        int unit = 0;
        int stride = 1;
        bool operator==(const SeriesKey&) const = default;
    };
    void BuildCurves(int stride);

    C3DGraphPrm prm_;
    CSpectrumDataSet records_;
    bool standardPresent_ = false;
    CSpectrumData standard_;
    // Series are kept between drawings: a drag redraws only the projection.
    std::vector<GraphSeries> curves_;
    SeriesKey curvesKey_;
    bool curvesValid_ = false;
    double seriesMin_ = 0, seriesMax_ = 0;
    bool seriesAny_ = false;
    Layout layout_;
    std::unique_ptr<QtSurfaceImage> graph_;
};
