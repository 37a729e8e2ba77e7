#pragma once
// A Surface that draws nothing and records every drawing call in device pixels, with the state it
// was drawn with, so tests can check the coordinates the graph rules produce. Text is measured
// deterministically: every character is ceil(height / 2) pixels wide and the text is height tall.
#include <string>
#include <vector>

#include "core/graph/Surface.h"

struct RecordedCall {
    enum class Kind { Polyline, Polygon, Rectangle, Ellipse, FillRect, FrameRect, Text, Copy };
    Kind kind = Kind::Polyline;
    std::vector<SurfacePoint> points;  // polyline and polygon vertices; text reference point
    SurfaceRect rect;                  // rectangles, ellipse boxes, copy destinations
    SurfacePen pen;                    // with the device width in pen.width
    SurfaceBrush brush;
    std::uint32_t color = 0;           // fill/frame colour, or the text colour
    std::string text;
    unsigned align = 0;
    DeviceFont font;
    RasterOp rop = RasterOp::Copy;
    bool clipped = false;
    SurfaceRect clip;
};

class RecordingSurface : public Surface {
public:
    RecordingSurface(int width = 700, int height = 500) : Surface(width, height) {}

    const std::vector<RecordedCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

    std::vector<RecordedCall> CallsOf(RecordedCall::Kind kind) const;
    // Two-point polylines, that is single lines, drawn with a pen of the given style.
    std::vector<RecordedCall> LinesWith(PenStyle style) const;
    std::vector<RecordedCall> Texts() const { return CallsOf(RecordedCall::Kind::Text); }

    static SurfaceSize MeasureText(std::string_view text, int pixelHeight);

    bool ReadPixels(RgbImage&) const override { return false; }

protected:
    void DevicePolyline(const std::vector<SurfacePoint>& points) override;
    void DevicePolygon(const std::vector<SurfacePoint>& points) override;
    void DeviceRectangle(const SurfaceRect& r) override;
    void DeviceEllipse(const SurfaceRect& box) override;
    void DeviceFillRect(const SurfaceRect& r, std::uint32_t color) override;
    void DeviceFrameRect(const SurfaceRect& r, std::uint32_t color) override;
    void DeviceText(SurfacePoint at, std::string_view text, const DeviceFont& font) override;
    SurfaceSize DeviceTextExtent(std::string_view text, const DeviceFont& font) const override;
    void DeviceCopy(const SurfaceRect& destination, const RgbImage& source, const SurfaceRect& sourceRect) override;

private:
    RecordedCall Begin(RecordedCall::Kind kind) const;

    std::vector<RecordedCall> calls_;
};
