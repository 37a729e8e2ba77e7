#pragma once
// A Surface that writes SVG: the graph windows' pictures as vectors, for "Save" and heliarc-cli
// render. Text is measured with the same Qt fonts as QtSurfaceImage, so the layout matches the
// window's picture; copied pictures become embedded PNG images. Needs a QGuiApplication for fonts.
#include <functional>
#include <sstream>
#include <string>

#include "core/graph/Surface.h"

class SvgSurface : public Surface {
public:
    SvgSurface(int width, int height);

    // The whole document so far, closed.
    std::string Document() const;
    bool ReadPixels(RgbImage&) const override { return false; }

protected:
    void DevicePolyline(const std::vector<SurfacePoint>& points) override;
    void DevicePolygon(const std::vector<SurfacePoint>& points) override;
    void DeviceRectangle(const SurfaceRect& r) override;
    void DeviceEllipse(const SurfaceRect& box) override;
    void DeviceFillRect(const SurfaceRect& r, std::uint32_t color) override;
    void DeviceText(SurfacePoint at, std::string_view text, const DeviceFont& font) override;
    SurfaceSize DeviceTextExtent(std::string_view text, const DeviceFont& font) const override;
    void DeviceCopy(const SurfaceRect& destination, const RgbImage& source, const SurfaceRect& sourceRect) override;

private:
    std::string Stroke(bool filled) const;
    std::string ClipAttribute();

    std::ostringstream body_;
    std::ostringstream defs_;
    int clips_ = 0;
    SurfaceRect lastClip_;
    bool lastHasClip_ = false;
};

// Draws width x height with draw onto an SVG surface and writes it through the replacing writer
// (storedPath mapped like every stored path). error (when given) says what failed and where.
bool SaveSvgFile(int width, int height, const std::function<void(Surface&)>& draw, const std::string& storedPath,
                 std::string* error = nullptr);
