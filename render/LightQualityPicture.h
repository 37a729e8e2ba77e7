#pragma once
// Everything the light quality window shows of one record, without a widget: its plant, colour and
// solar values with units, the CIE 1931 xy diagram with the spectrum and Planckian loci and the
// record's point, and its spectrum with the plant bands shaded. heliarc-cli render draws the same.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/graph/Surface.h"
#include "core/metrics/LightMetrics.h"

class QtSurfaceImage;
namespace metrics {
class MetricsCalculator;
}

class CLightQualityPicture {
public:
    static constexpr std::uint32_t kSpectrumLocusColor = 0x000000;
    static constexpr std::uint32_t kPlanckianColor = 0x808080;
    static constexpr std::uint32_t kPointColor = 0x0000FF;
    static constexpr std::uint32_t kCurveColor = 0x800000;

    // One line of the value list: a group heading has no value.
    struct Line {
        std::string label;
        std::string value;
        bool heading = false;
    };

    CLightQualityPicture();
    ~CLightQualityPicture();

    // The record shown (null: none); its metrics are computed here.
    void Show(std::shared_ptr<const CSpectrumData> record);
    const std::shared_ptr<const CSpectrumData>& Record() const { return record_; }
    const metrics::LightMetrics& Metrics() const { return metrics_; }
    std::vector<Line> Lines() const;

    void Draw(Surface& surface);
    // Where the last drawing put the diagram and the spectrum, and the diagram's place of (x, y).
    const SurfaceRect& DiagramRect() const { return diagram_; }
    const SurfaceRect& SpectrumRect() const { return spectrum_; }
    SurfacePoint DiagramPoint(double x, double y) const;

    // The picture at width x height; false when no image of that size can be had (the last stays).
    bool Render(int width, int height, double pixelRatio = 1.0);
    const QtSurfaceImage* Graph() const { return graph_.get(); }

private:
    // The right edge of what it drew.
    int DrawValues(Surface& surface, const SurfaceRect& area);
    void DrawDiagram(Surface& surface);
    void DrawSpectrum(Surface& surface);

    std::shared_ptr<const CSpectrumData> record_;
    // Kept: it prepares the weights of an instrument once, not for every record the list moves to.
    std::unique_ptr<metrics::MetricsCalculator> calculator_;
    metrics::LightMetrics metrics_;
    SurfaceRect diagram_{}, spectrum_{};
    std::unique_ptr<QtSurfaceImage> graph_;
};
