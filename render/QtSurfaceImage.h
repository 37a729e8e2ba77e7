#pragma once
// The Surface on a QImage through QPainter: the off-screen picture of every graph window and of
// heliarc-cli render. Needs a QGuiApplication (any platform, "offscreen" included) for its fonts.
#include <QImage>
#include <QPainter>
#include <memory>

#include "core/graph/Surface.h"

class QtSurfaceImage : public Surface {
public:
    // A white picture of width x height pixels; nullptr for a size outside the image limits or
    // when the memory cannot be had. With a pixel ratio above 1 (a HiDPI screen) it is drawn in
    // width x height units on an image of that many more pixels, so lines and text come out crisp.
    static std::unique_ptr<QtSurfaceImage> Create(int width, int height, double pixelRatio = 1.0);
    // A picture to draw on over a copy of source.
    static std::unique_ptr<QtSurfaceImage> CopyOf(const QtSurfaceImage& source);
    ~QtSurfaceImage() override;

    // The picture so far (drawing is immediate, so it is always up to date).
    const QImage& Image() const { return image_; }
    bool ReadPixels(RgbImage& out) const override;

protected:
    void DevicePolyline(const std::vector<SurfacePoint>& points) override;
    void DevicePolygon(const std::vector<SurfacePoint>& points) override;
    void DeviceRectangle(const SurfaceRect& r) override;
    void DeviceEllipse(const SurfaceRect& box) override;
    void DeviceFillRect(const SurfaceRect& r, std::uint32_t color) override;
    void DeviceText(SurfacePoint at, std::string_view text, const DeviceFont& font) override;
    SurfaceSize DeviceTextExtent(std::string_view text, const DeviceFont& font) const override;
    void DeviceCopy(const SurfaceRect& destination, const RgbImage& source, const SurfaceRect& sourceRect) override;
    void StateChanged() override;

private:
    QtSurfaceImage(QImage image, int width, int height);
    void ApplyPenAndBrush();
    void ApplyClip();
    const QFont& FontFor(const DeviceFont& font) const;

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    bool penDirty_ = true;
    mutable DeviceFont cachedRequest_;
    mutable QFont cachedFont_;
    mutable bool haveFont_ = false;
};
