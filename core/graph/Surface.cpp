#include "core/graph/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Device coordinates stay far inside int so that implementations can add offsets safely.
constexpr double kDeviceLimit = 1 << 28;

int ToDeviceInt(double v) {
    if (std::isnan(v)) return 0;
    v = std::clamp(v, -kDeviceLimit, kDeviceLimit);
    return static_cast<int>(std::lround(v));
}

int Sign(int v) { return v < 0 ? -1 : 1; }

}  // namespace

Surface::Surface(int deviceWidth, int deviceHeight)
    : width_(std::max(0, deviceWidth)), height_(std::max(0, deviceHeight)) {}

Surface::~Surface() = default;

SurfacePen Surface::SelectPen(const SurfacePen& pen) {
    SurfacePen old = pen_;
    pen_ = pen;
    StateChanged();
    return old;
}

SurfaceBrush Surface::SelectBrush(const SurfaceBrush& brush) {
    SurfaceBrush old = brush_;
    brush_ = brush;
    StateChanged();
    return old;
}

SurfaceFont Surface::SelectFont(const SurfaceFont& font) {
    SurfaceFont old = font_;
    font_ = font;
    return old;
}

std::uint32_t Surface::SetTextColor(std::uint32_t color) {
    std::uint32_t old = textColor_;
    textColor_ = color & 0xFFFFFFu;
    return old;
}

unsigned Surface::SetTextAlign(unsigned align) {
    unsigned old = textAlign_;
    textAlign_ = align;
    return old;
}

RasterOp Surface::SetRasterOp(RasterOp op) {
    RasterOp old = rop_;
    rop_ = op;
    StateChanged();
    return old;
}

void Surface::SetClipRect(const SurfaceRect& logical) {
    clip_ = ToDevice(logical);
    hasClip_ = true;
    StateChanged();
}

void Surface::ClearClip() {
    hasClip_ = false;
    clip_ = SurfaceRect{};
    StateChanged();
}

MapMode Surface::SetMapMode(MapMode mode) {
    MapMode old = map_.mode;
    map_.mode = mode;
    if (mode == MapMode::Text) {
        map_.windowExt = {1, 1};
        map_.viewportExt = {1, 1};
    }
    AdjustIsotropic();
    return old;
}

SurfaceSize Surface::SetWindowExt(int cx, int cy) {
    SurfaceSize old = map_.windowExt;
    // Extents are fixed at 1:1 in Text mode, and a zero extent would make the mapping undefined.
    if (map_.mode == MapMode::Text || cx == 0 || cy == 0) return old;
    map_.windowExt = {cx, cy};
    AdjustIsotropic();
    return old;
}

SurfaceSize Surface::SetViewportExt(int cx, int cy) {
    SurfaceSize old = map_.viewportExt;
    if (map_.mode == MapMode::Text || cx == 0 || cy == 0) return old;
    map_.viewportExt = {cx, cy};
    AdjustIsotropic();
    return old;
}

SurfacePoint Surface::SetWindowOrg(int x, int y) {
    SurfacePoint old = map_.windowOrg;
    map_.windowOrg = {x, y};
    return old;
}

SurfacePoint Surface::SetViewportOrg(int x, int y) {
    SurfacePoint old = map_.viewportOrg;
    map_.viewportOrg = {x, y};
    return old;
}

void Surface::AdjustIsotropic() {
    if (map_.mode != MapMode::Isotropic) return;
    SurfaceSize& w = map_.windowExt;
    SurfaceSize& v = map_.viewportExt;
    const double sx = std::abs(static_cast<double>(v.cx) / w.cx);
    const double sy = std::abs(static_cast<double>(v.cy) / w.cy);
    // Keep the smaller scale for both axes so the picture fits the requested viewport.
    if (sx < sy) {
        v.cy = Sign(v.cy) * std::max(1, ToDeviceInt(std::abs(static_cast<double>(w.cy)) * sx));
    } else if (sy < sx) {
        v.cx = Sign(v.cx) * std::max(1, ToDeviceInt(std::abs(static_cast<double>(w.cx)) * sy));
    }
}

double Surface::ScaleX() const { return static_cast<double>(map_.viewportExt.cx) / map_.windowExt.cx; }
double Surface::ScaleY() const { return static_cast<double>(map_.viewportExt.cy) / map_.windowExt.cy; }

SurfacePoint Surface::ToDevice(SurfacePoint p) const {
    const double x = (static_cast<double>(p.x) - map_.windowOrg.x) * ScaleX() + map_.viewportOrg.x;
    const double y = (static_cast<double>(p.y) - map_.windowOrg.y) * ScaleY() + map_.viewportOrg.y;
    return {ToDeviceInt(x), ToDeviceInt(y)};
}

SurfaceRect Surface::ToDevice(const SurfaceRect& r) const {
    SurfacePoint a = ToDevice(SurfacePoint{r.left, r.top});
    SurfacePoint b = ToDevice(SurfacePoint{r.right, r.bottom});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

SurfaceSize Surface::SizeToLogical(SurfaceSize device) const {
    return {ToDeviceInt(device.cx / std::abs(ScaleX())), ToDeviceInt(device.cy / std::abs(ScaleY()))};
}

int Surface::DevicePenWidth() const {
    if (pen_.width <= 1) return 1;
    return std::max(1, ToDeviceInt(pen_.width * std::abs(ScaleX())));
}

DeviceFont Surface::DeviceFontOf(const SurfaceFont& font) const {
    DeviceFont d;
    d.face = font.face;
    d.pixelHeight = font.height == 0 ? 12 : std::max(1, ToDeviceInt(std::abs(static_cast<double>(font.height)) * std::abs(ScaleY())));
    d.escapement = font.escapement;
    d.weight = font.weight;
    d.charSet = font.charSet;
    d.pitchAndFamily = font.pitchAndFamily;
    return d;
}

void Surface::MoveTo(int x, int y) { current_ = {x, y}; }

void Surface::LineTo(int x, int y) {
    DevicePolyline({ToDevice(current_), ToDevice(SurfacePoint{x, y})});
    current_ = {x, y};
}

void Surface::Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
}

void Surface::Polyline(const std::vector<SurfacePoint>& points) {
    if (points.size() < 2) return;
    std::vector<SurfacePoint> device;
    device.reserve(points.size());
    for (const SurfacePoint& p : points) device.push_back(ToDevice(p));
    DevicePolyline(device);
    current_ = points.back();
}

void Surface::Polygon(const std::vector<SurfacePoint>& points) {
    if (points.size() < 2) return;
    std::vector<SurfacePoint> device;
    device.reserve(points.size());
    for (const SurfacePoint& p : points) device.push_back(ToDevice(p));
    DevicePolygon(device);
}

void Surface::Rectangle(const SurfaceRect& r) {
    SurfaceRect d = ToDevice(r);
    if (d.right > d.left && d.bottom > d.top) DeviceRectangle(d);
}

void Surface::Ellipse(const SurfaceRect& box) {
    SurfaceRect d = ToDevice(box);
    if (d.right > d.left && d.bottom > d.top) DeviceEllipse(d);
}

void Surface::FillRect(const SurfaceRect& r, std::uint32_t color) {
    SurfaceRect d = ToDevice(r);
    if (d.right > d.left && d.bottom > d.top) DeviceFillRect(d, color & 0xFFFFFFu);
}

void Surface::FrameRect(const SurfaceRect& r, std::uint32_t color) {
    SurfaceRect d = ToDevice(r);
    if (d.right > d.left && d.bottom > d.top) DeviceFrameRect(d, color & 0xFFFFFFu);
}

void Surface::DeviceFrameRect(const SurfaceRect& r, std::uint32_t color) {
    DeviceFillRect({r.left, r.top, r.right, r.top + 1}, color);
    DeviceFillRect({r.left, r.bottom - 1, r.right, r.bottom}, color);
    DeviceFillRect({r.left, r.top, r.left + 1, r.bottom}, color);
    DeviceFillRect({r.right - 1, r.top, r.right, r.bottom}, color);
}

void Surface::TextOut(int x, int y, std::string_view text) {
    if (text.empty()) return;
    DeviceText(ToDevice(SurfacePoint{x, y}), text, DeviceFontOf(font_));
}

SurfaceSize Surface::TextExtent(std::string_view text) const {
    if (text.empty()) return {0, 0};
    return SizeToLogical(DeviceTextExtent(text, DeviceFontOf(font_)));
}

void Surface::BlockCopy(int x, int y, const RgbImage& source, int sx, int sy, int w, int h) {
    if (!source.Valid() || w <= 0 || h <= 0) return;
    // Only the part of the source rectangle that lies inside the source picture is copied.
    const int x0 = std::max(sx, 0), y0 = std::max(sy, 0);
    const int x1 = static_cast<int>(std::min<long long>(static_cast<long long>(sx) + w, source.width));
    const int y1 = static_cast<int>(std::min<long long>(static_cast<long long>(sy) + h, source.height));
    if (x1 <= x0 || y1 <= y0) return;
    SurfaceRect d = ToDevice(SurfaceRect{x + (x0 - sx), y + (y0 - sy), x + (x1 - sx), y + (y1 - sy)});
    if (d.right > d.left && d.bottom > d.top) DeviceCopy(d, source, {x0, y0, x1, y1});
}

void Surface::StretchCopy(const SurfaceRect& destination, const RgbImage& source) {
    if (!source.Valid()) return;
    SurfaceRect d = ToDevice(destination);
    if (d.right > d.left && d.bottom > d.top) DeviceCopy(d, source, {0, 0, source.width, source.height});
}
