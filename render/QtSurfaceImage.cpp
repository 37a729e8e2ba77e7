#include "render/QtSurfaceImage.h"

#include <QFontMetrics>
#include <QPolygon>
#include <QString>
#include <cmath>
#include <cstring>

namespace {

QColor ToQColor(std::uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPolygon ToPolygon(const std::vector<SurfacePoint>& points) {
    QPolygon poly(static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) poly.setPoint(static_cast<int>(i), points[i].x, points[i].y);
    return poly;
}

}  // namespace

std::unique_ptr<QtSurfaceImage> QtSurfaceImage::Create(int width, int height, double pixelRatio) {
    if (!(pixelRatio >= 1.0 && pixelRatio <= 8.0)) pixelRatio = 1.0;
    const int w = static_cast<int>(std::lround(width * pixelRatio));
    const int h = static_cast<int>(std::lround(height * pixelRatio));
    if (!ImageSizeAcceptable(width, height, 4) || !ImageSizeAcceptable(w, h, 4)) return nullptr;
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return nullptr;
    image.setDevicePixelRatio(pixelRatio);  // the painter then works in width x height units
    image.fill(Qt::white);
    return std::unique_ptr<QtSurfaceImage>(new QtSurfaceImage(std::move(image), width, height));
}

std::unique_ptr<QtSurfaceImage> QtSurfaceImage::CopyOf(const QtSurfaceImage& source) {
    QImage image = source.image_.copy();
    if (image.isNull()) return nullptr;
    image.setDevicePixelRatio(source.image_.devicePixelRatio());
    return std::unique_ptr<QtSurfaceImage>(new QtSurfaceImage(std::move(image), source.Width(), source.Height()));
}

QtSurfaceImage::QtSurfaceImage(QImage image, int width, int height)
    : Surface(width, height), image_(std::move(image)), painter_(std::make_unique<QPainter>(&image_)) {
    // Pixel-exact drawing, like the memory bitmaps the graph rules were written for.
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
}

QtSurfaceImage::~QtSurfaceImage() {
    if (painter_) painter_->end();
}

void QtSurfaceImage::StateChanged() {
    penDirty_ = true;
}

void QtSurfaceImage::ApplyClip() {
    if (HasClip()) {
        const SurfaceRect& c = DeviceClip();
        painter_->setClipRect(QRect(c.left, c.top, c.right - c.left, c.bottom - c.top));
    } else {
        painter_->setClipping(false);
    }
}

void QtSurfaceImage::ApplyPenAndBrush() {
    if (!penDirty_) return;
    penDirty_ = false;
    const SurfacePen& p = Pen();
    if (p.style == PenStyle::Null) {
        painter_->setPen(Qt::NoPen);
    } else {
        QPen pen(ToQColor(p.color));
        const int w = DevicePenWidth();
        pen.setWidth(w);
        if (p.style == PenStyle::Dotted && w <= 1) {
            // One pixel on, one off, as the dotted grid has always looked.
            pen.setDashPattern({1.0, 1.0});
        }
        pen.setCapStyle(p.cap == PenCap::Flat ? Qt::FlatCap : p.cap == PenCap::Square ? Qt::SquareCap : Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter_->setPen(pen);
    }
    const SurfaceBrush& b = Brush();
    if (b.hollow) {
        painter_->setBrush(Qt::NoBrush);
    } else {
        painter_->setBrush(ToQColor(b.color));
    }
    painter_->setCompositionMode(Rop() == RasterOp::Xor ? QPainter::RasterOp_SourceXorDestination
                                                         : QPainter::CompositionMode_SourceOver);
    ApplyClip();
}

void QtSurfaceImage::DevicePolyline(const std::vector<SurfacePoint>& points) {
    ApplyPenAndBrush();
    if (points.size() == 2) {
        painter_->drawLine(points[0].x, points[0].y, points[1].x, points[1].y);
    } else {
        painter_->drawPolyline(ToPolygon(points));
    }
}

void QtSurfaceImage::DevicePolygon(const std::vector<SurfacePoint>& points) {
    ApplyPenAndBrush();
    painter_->drawPolygon(ToPolygon(points));
}

void QtSurfaceImage::DeviceRectangle(const SurfaceRect& r) {
    ApplyPenAndBrush();
    // The outline lies inside the rectangle, whose right and bottom edges are exclusive.
    painter_->drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
}

void QtSurfaceImage::DeviceEllipse(const SurfaceRect& box) {
    ApplyPenAndBrush();
    painter_->drawEllipse(QRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1));
}

void QtSurfaceImage::DeviceFillRect(const SurfaceRect& r, std::uint32_t color) {
    ApplyPenAndBrush();
    const QPainter::CompositionMode mode = painter_->compositionMode();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(color));
    painter_->setCompositionMode(mode);
}

const QFont& QtSurfaceImage::FontFor(const DeviceFont& wanted) const {
    if (!haveFont_ || !(wanted == cachedRequest_)) {
        QFont f(QString::fromStdString(wanted.face));
        f.setPixelSize(wanted.pixelHeight < 1 ? 1 : wanted.pixelHeight);
        f.setWeight(wanted.weight >= 600 ? QFont::Bold : QFont::Normal);
        // Used only when the face is not installed: a fixed-pitch family like the one asked for.
        if ((wanted.pitchAndFamily & 0x0F) == 1) f.setStyleHint(QFont::Monospace);
        cachedFont_ = f;
        cachedRequest_ = wanted;
        haveFont_ = true;
    }
    return cachedFont_;
}

void QtSurfaceImage::DeviceText(SurfacePoint at, std::string_view text, const DeviceFont& wanted) {
    ApplyPenAndBrush();
    const QFont& font = FontFor(wanted);
    const QFontMetrics metrics(font);
    const QString s = ToQString(text);
    const int w = metrics.horizontalAdvance(s);
    const unsigned align = TextAlignment();
    int dx = 0;
    switch (align & TextAlign::kHorizontalMask) {
        case TextAlign::kRight: dx = -w; break;
        case TextAlign::kCenter: dx = -w / 2; break;
        default: break;
    }
    int dy = metrics.ascent();  // top
    if ((align & TextAlign::kVerticalMask) == TextAlign::kBaseline) {
        dy = 0;
    } else if ((align & TextAlign::kVerticalMask) == TextAlign::kBottom) {
        dy = -metrics.descent();
    }
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->setFont(font);
    painter_->setPen(ToQColor(TextColor()));
    painter_->translate(at.x, at.y);
    // The alignment holds along the turned baseline; turning is counter-clockwise on the screen.
    if (wanted.escapement != 0) painter_->rotate(-wanted.escapement / 10.0);
    painter_->drawText(dx, dy, s);
    painter_->restore();
}

SurfaceSize QtSurfaceImage::DeviceTextExtent(std::string_view text, const DeviceFont& wanted) const {
    const QFontMetrics metrics(FontFor(wanted));
    return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void QtSurfaceImage::DeviceCopy(const SurfaceRect& destination, const RgbImage& source, const SurfaceRect& sourceRect) {
    ApplyPenAndBrush();
    const QImage src(source.rgb.data(), source.width, source.height, source.width * 3, QImage::Format_RGB888);
    const QRect from(sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top);
    const QRect to(destination.left, destination.top, destination.right - destination.left,
                   destination.bottom - destination.top);
    const QPainter::CompositionMode mode = painter_->compositionMode();
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->drawImage(to, src, from);
    painter_->setCompositionMode(mode);
}

bool QtSurfaceImage::ReadPixels(RgbImage& out) const {
    if (!out.Resize(image_.width(), image_.height())) return false;
    const QImage rgb = image_.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(out.width) * 3u;
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(&out.rgb[static_cast<std::size_t>(y) * rowBytes], rgb.constScanLine(y), rowBytes);
    }
    return true;
}
