#pragma once
// The drawing surface the graphs draw on: just what they need of a 2-D device. Coordinates given to
// the drawing calls are logical units; the surface keeps the logical mapping (window and viewport
// extents and origins) and hands its implementations device pixels. Colours are 0x00BBGGRR.
//
// Rectangles follow the usual device rule: right and bottom edges are exclusive.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/graph/RgbImage.h"

struct SurfacePoint {
    int x = 0;
    int y = 0;
    bool operator==(const SurfacePoint&) const = default;
};

struct SurfaceRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const SurfaceRect&) const = default;
};

struct SurfaceSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const SurfaceSize&) const = default;
};

enum class PenStyle { Solid, Dotted, Null };
enum class PenCap { Round, Square, Flat };

struct SurfacePen {
    PenStyle style = PenStyle::Solid;
    int width = 1;  // logical units; 0 or 1 is always one device pixel
    std::uint32_t color = 0;
    PenCap cap = PenCap::Round;
    bool operator==(const SurfacePen&) const = default;
};

struct SurfaceBrush {
    bool hollow = false;  // a hollow brush fills nothing
    std::uint32_t color = 0xFFFFFF;
    bool operator==(const SurfaceBrush&) const = default;
};

// A font request. height follows the device convention: negative is the character height,
// positive the cell height, both in logical units. Escapement is in tenths of a degree,
// counter-clockwise.
struct SurfaceFont {
    std::string face;
    int height = -12;
    int escapement = 0;
    int weight = 400;
    int charSet = 0;          // 0 ANSI, 128 Shift-JIS
    int pitchAndFamily = 0;
    bool operator==(const SurfaceFont&) const = default;
};

// The same font in device pixels, as the implementations receive it.
struct DeviceFont {
    std::string face;
    int pixelHeight = 12;
    int escapement = 0;
    int weight = 400;
    int charSet = 0;
    int pitchAndFamily = 0;
    bool operator==(const DeviceFont&) const = default;
};

enum class RasterOp { Copy, Xor };
enum class MapMode { Text, Anisotropic, Isotropic };

// Text alignment values: one horizontal and one vertical flag combined.
namespace TextAlign {
constexpr unsigned kLeft = 0;
constexpr unsigned kRight = 2;
constexpr unsigned kCenter = 6;
constexpr unsigned kTop = 0;
constexpr unsigned kBottom = 8;
constexpr unsigned kBaseline = 24;
constexpr unsigned kHorizontalMask = 6;
constexpr unsigned kVerticalMask = 24;
}  // namespace TextAlign

class Surface {
public:
    // The complete logical mapping, to save and restore around a drawing pass.
    struct Mapping {
        MapMode mode = MapMode::Text;
        SurfaceSize windowExt{1, 1};
        SurfaceSize viewportExt{1, 1};
        SurfacePoint windowOrg{0, 0};
        SurfacePoint viewportOrg{0, 0};
    };

    Surface(int deviceWidth, int deviceHeight);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    virtual ~Surface();

    // Size of the surface in device pixels.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Drawing state. Each Select/Set returns what was selected before, so callers can restore it.
    // A new surface has a black one-pixel solid pen, a white solid brush, black text, alignment
    // left/top, copy raster operation, no clip and the identity mapping.
    SurfacePen SelectPen(const SurfacePen& pen);
    SurfaceBrush SelectBrush(const SurfaceBrush& brush);
    SurfaceFont SelectFont(const SurfaceFont& font);
    std::uint32_t SetTextColor(std::uint32_t color);
    unsigned SetTextAlign(unsigned align);
    RasterOp SetRasterOp(RasterOp op);  // XOR applies to pen and brush drawing, not to text or copies
    const SurfacePen& Pen() const { return pen_; }
    const SurfaceBrush& Brush() const { return brush_; }
    const SurfaceFont& Font() const { return font_; }
    std::uint32_t TextColor() const { return textColor_; }
    unsigned TextAlignment() const { return textAlign_; }
    RasterOp Rop() const { return rop_; }

    // Clipping to a logical rectangle (converted to device pixels when set).
    void SetClipRect(const SurfaceRect& logical);
    void ClearClip();
    bool HasClip() const { return hasClip_; }
    const SurfaceRect& DeviceClip() const { return clip_; }

    // Logical mapping. In Text mode logical units are pixels (origins still apply). In the
    // anisotropic mode x and y scale independently; the isotropic mode shrinks one viewport
    // extent so both scale alike (read the granted extent back with ViewportExt).
    MapMode SetMapMode(MapMode mode);
    SurfaceSize SetWindowExt(int cx, int cy);
    SurfaceSize SetViewportExt(int cx, int cy);
    SurfacePoint SetWindowOrg(int x, int y);
    SurfacePoint SetViewportOrg(int x, int y);
    MapMode GetMapMode() const { return map_.mode; }
    SurfaceSize WindowExt() const { return map_.windowExt; }
    SurfaceSize ViewportExt() const { return map_.viewportExt; }
    SurfacePoint WindowOrg() const { return map_.windowOrg; }
    SurfacePoint ViewportOrg() const { return map_.viewportOrg; }
    Mapping SaveMapping() const { return map_; }
    void RestoreMapping(const Mapping& m) { map_ = m; }

    SurfacePoint ToDevice(SurfacePoint logical) const;
    SurfaceRect ToDevice(const SurfaceRect& logical) const;  // normalised: left <= right, top <= bottom
    SurfaceSize SizeToLogical(SurfaceSize device) const;     // for measured extents
    int DevicePenWidth() const;
    DeviceFont DeviceFontOf(const SurfaceFont& font) const;

    // Drawing, in logical units.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // from the current position, which then moves to (x, y)
    void Line(int x1, int y1, int x2, int y2);
    void Polyline(const std::vector<SurfacePoint>& points);
    void Polygon(const std::vector<SurfacePoint>& points);  // filled with the brush, outlined with the pen
    void Rectangle(const SurfaceRect& r);                    // pen outline, brush inside
    void Ellipse(const SurfaceRect& box);                    // pen outline, brush inside
    void FillRect(const SurfaceRect& r, std::uint32_t color);  // solid colour, no pen
    void FrameRect(const SurfaceRect& r, std::uint32_t color);  // one device pixel wide, just inside r
    void TextOut(int x, int y, std::string_view text);  // UTF-8, current font, colour, alignment; transparent
    SurfaceSize TextExtent(std::string_view text) const;  // current font, unrotated, logical units

    // Copies of pictures: the destination is logical, the source rectangle in the source's pixels.
    void BlockCopy(int x, int y, const RgbImage& source, int sx, int sy, int w, int h);
    void StretchCopy(const SurfaceRect& destination, const RgbImage& source);

    // The surface's pixels, when it has any (a recording surface has none).
    virtual bool ReadPixels(RgbImage& out) const = 0;

protected:
    // What the implementations provide, all in device pixels and with the current state.
    virtual void DevicePolyline(const std::vector<SurfacePoint>& points) = 0;
    virtual void DevicePolygon(const std::vector<SurfacePoint>& points) = 0;
    virtual void DeviceRectangle(const SurfaceRect& r) = 0;
    virtual void DeviceEllipse(const SurfaceRect& box) = 0;
    virtual void DeviceFillRect(const SurfaceRect& r, std::uint32_t color) = 0;
    virtual void DeviceFrameRect(const SurfaceRect& r, std::uint32_t color);
    virtual void DeviceText(SurfacePoint at, std::string_view text, const DeviceFont& font) = 0;
    virtual SurfaceSize DeviceTextExtent(std::string_view text, const DeviceFont& font) const = 0;
    virtual void DeviceCopy(const SurfaceRect& destination, const RgbImage& source, const SurfaceRect& sourceRect) = 0;
    virtual void StateChanged() {}

private:
    void AdjustIsotropic();
    double ScaleX() const;
    double ScaleY() const;

    int width_;
    int height_;
    SurfacePen pen_;
    SurfaceBrush brush_;
    SurfaceFont font_;
    std::uint32_t textColor_ = 0;
    unsigned textAlign_ = 0;
    RasterOp rop_ = RasterOp::Copy;
    bool hasClip_ = false;
    SurfaceRect clip_;
    Mapping map_;
    SurfacePoint current_;
};
