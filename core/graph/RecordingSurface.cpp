#include "core/graph/RecordingSurface.h"

namespace {

// Characters, not bytes, so multi-byte labels measure like their ASCII counterparts.
int CountCharacters(std::string_view text) {
    int n = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

}  // namespace

RecordedCall RecordingSurface::Begin(RecordedCall::Kind kind) const {
    RecordedCall c;
    c.kind = kind;
    c.pen = Pen();
    c.pen.width = DevicePenWidth();
    c.brush = Brush();
    c.rop = Rop();
    c.clipped = HasClip();
    c.clip = DeviceClip();
    return c;
}

std::vector<RecordedCall> RecordingSurface::CallsOf(RecordedCall::Kind kind) const {
    std::vector<RecordedCall> out;
    for (const RecordedCall& c : calls_) {
        if (c.kind == kind) out.push_back(c);
    }
    return out;
}

std::vector<RecordedCall> RecordingSurface::LinesWith(PenStyle style) const {
    std::vector<RecordedCall> out;
    for (const RecordedCall& c : calls_) {
        if (c.kind == RecordedCall::Kind::Polyline && c.points.size() == 2 && c.pen.style == style) out.push_back(c);
    }
    return out;
}

SurfaceSize RecordingSurface::MeasureText(std::string_view text, int pixelHeight) {
    const int cell = (pixelHeight + 1) / 2;
    return {CountCharacters(text) * (cell < 1 ? 1 : cell), pixelHeight};
}

void RecordingSurface::DevicePolyline(const std::vector<SurfacePoint>& points) {
    RecordedCall c = Begin(RecordedCall::Kind::Polyline);
    c.points = points;
    calls_.push_back(std::move(c));
}

void RecordingSurface::DevicePolygon(const std::vector<SurfacePoint>& points) {
    RecordedCall c = Begin(RecordedCall::Kind::Polygon);
    c.points = points;
    calls_.push_back(std::move(c));
}

void RecordingSurface::DeviceRectangle(const SurfaceRect& r) {
    RecordedCall c = Begin(RecordedCall::Kind::Rectangle);
    c.rect = r;
    calls_.push_back(std::move(c));
}

void RecordingSurface::DeviceEllipse(const SurfaceRect& box) {
    RecordedCall c = Begin(RecordedCall::Kind::Ellipse);
    c.rect = box;
    calls_.push_back(std::move(c));
}

void RecordingSurface::DeviceFillRect(const SurfaceRect& r, std::uint32_t color) {
    RecordedCall c = Begin(RecordedCall::Kind::FillRect);
    c.rect = r;
    c.color = color;
    calls_.push_back(std::move(c));
}

void RecordingSurface::DeviceFrameRect(const SurfaceRect& r, std::uint32_t color) {
    RecordedCall c = Begin(RecordedCall::Kind::FrameRect);
    c.rect = r;
    c.color = color;
    calls_.push_back(std::move(c));
}

void RecordingSurface::DeviceText(SurfacePoint at, std::string_view text, const DeviceFont& font) {
    RecordedCall c = Begin(RecordedCall::Kind::Text);
    c.points = {at};
    c.text = std::string(text);
    c.align = TextAlignment();
    c.font = font;
    c.color = TextColor();
    calls_.push_back(std::move(c));
}

SurfaceSize RecordingSurface::DeviceTextExtent(std::string_view text, const DeviceFont& font) const {
    return MeasureText(text, font.pixelHeight);
}

void RecordingSurface::DeviceCopy(const SurfaceRect& destination, const RgbImage&, const SurfaceRect& sourceRect) {
    RecordedCall c = Begin(RecordedCall::Kind::Copy);
    c.rect = destination;
    c.points = {{sourceRect.left, sourceRect.top}, {sourceRect.right, sourceRect.bottom}};
    calls_.push_back(std::move(c));
}
