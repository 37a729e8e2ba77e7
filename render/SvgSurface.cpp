#include "render/SvgSurface.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <cstdio>
#include <string_view>

#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"

namespace {

std::string Color(std::uint32_t c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // Control characters are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
                break;
        }
    }
    return out;
}

std::string Points(const std::vector<SurfacePoint>& points) {
    std::string s;
    for (const SurfacePoint& p : points) {
        if (!s.empty()) s += ' ';
        s += std::to_string(p.x) + ',' + std::to_string(p.y);
    }
    return s;
}

QFont FontOf(const DeviceFont& wanted) {
    QFont f(QString::fromStdString(wanted.face));
    f.setPixelSize(wanted.pixelHeight < 1 ? 1 : wanted.pixelHeight);
    f.setWeight(wanted.weight >= 600 ? QFont::Bold : QFont::Normal);
    if ((wanted.pitchAndFamily & 0x0F) == 1) f.setStyleHint(QFont::Monospace);
    return f;
}

}  // namespace

SvgSurface::SvgSurface(int width, int height) : Surface(width, height) {}

std::string SvgSurface::Document() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                      "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
                      std::to_string(Width()) + "\" height=\"" + std::to_string(Height()) + "\" viewBox=\"0 0 " +
                      std::to_string(Width()) + ' ' + std::to_string(Height()) + "\">\n";
    const std::string defs = defs_.str();
    if (!defs.empty()) out += "<defs>\n" + defs + "</defs>\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    out += body_.str();
    out += "</svg>\n";
    return out;
}

std::string SvgSurface::ClipAttribute() {
    if (!HasClip()) return {};
    const SurfaceRect& c = DeviceClip();
    if (!lastHasClip_ || !(c == lastClip_)) {
        ++clips_;
        defs_ << "<clipPath id=\"c" << clips_ << "\"><rect x=\"" << c.left << "\" y=\"" << c.top << "\" width=\""
              << c.right - c.left << "\" height=\"" << c.bottom - c.top << "\"/></clipPath>\n";
        lastClip_ = c;
        lastHasClip_ = true;
    }
    return " clip-path=\"url(#c" + std::to_string(clips_) + ")\"";
}

std::string SvgSurface::Stroke(bool filled) const {
    std::string s;
    const SurfacePen& p = Pen();
    if (p.style == PenStyle::Null) {
        s = " stroke=\"none\"";
    } else {
        s = " stroke=\"" + Color(p.color) + "\" stroke-width=\"" + std::to_string(DevicePenWidth()) + "\"";
        if (p.style == PenStyle::Dotted) s += " stroke-dasharray=\"1,1\"";
        s += p.cap == PenCap::Flat ? " stroke-linecap=\"butt\"" : p.cap == PenCap::Square ? " stroke-linecap=\"square\""
                                                                                          : " stroke-linecap=\"round\"";
        s += " stroke-linejoin=\"round\"";
    }
    const SurfaceBrush& b = Brush();
    s += filled && !b.hollow ? " fill=\"" + Color(b.color) + "\"" : std::string(" fill=\"none\"");
    return s;
}

void SvgSurface::DevicePolyline(const std::vector<SurfacePoint>& points) {
    if (points.size() < 2) return;
    body_ << "<polyline points=\"" << Points(points) << "\"" << Stroke(false) << ClipAttribute() << "/>\n";
}

void SvgSurface::DevicePolygon(const std::vector<SurfacePoint>& points) {
    if (points.size() < 2) return;
    body_ << "<polygon points=\"" << Points(points) << "\"" << Stroke(true) << ClipAttribute() << "/>\n";
}

void SvgSurface::DeviceRectangle(const SurfaceRect& r) {
    // The outline lies inside the rectangle, as on the window's picture.
    body_ << "<rect x=\"" << r.left << "\" y=\"" << r.top << "\" width=\"" << r.right - r.left - 1 << "\" height=\""
          << r.bottom - r.top - 1 << "\"" << Stroke(true) << ClipAttribute() << "/>\n";
}

void SvgSurface::DeviceEllipse(const SurfaceRect& box) {
    const double rx = (box.right - box.left - 1) / 2.0, ry = (box.bottom - box.top - 1) / 2.0;
    body_ << "<ellipse cx=\"" << box.left + rx << "\" cy=\"" << box.top + ry << "\" rx=\"" << rx << "\" ry=\"" << ry
          << "\"" << Stroke(true) << ClipAttribute() << "/>\n";
}

void SvgSurface::DeviceFillRect(const SurfaceRect& r, std::uint32_t color) {
    body_ << "<rect x=\"" << r.left << "\" y=\"" << r.top << "\" width=\"" << r.right - r.left << "\" height=\""
          << r.bottom - r.top << "\" fill=\"" << Color(color) << "\"" << ClipAttribute() << "/>\n";
}

void SvgSurface::DeviceText(SurfacePoint at, std::string_view text, const DeviceFont& font) {
    const QFontMetrics metrics(FontOf(font));
    const unsigned align = TextAlignment();
    const char* anchor = "start";
    switch (align & TextAlign::kHorizontalMask) {
        case TextAlign::kRight: anchor = "end"; break;
        case TextAlign::kCenter: anchor = "middle"; break;
        default: break;
    }
    int dy = metrics.ascent();
    if ((align & TextAlign::kVerticalMask) == TextAlign::kBaseline) dy = 0;
    else if ((align & TextAlign::kVerticalMask) == TextAlign::kBottom) dy = -metrics.descent();
    body_ << "<g transform=\"translate(" << at.x << ',' << at.y << ")";
    if (font.escapement != 0) body_ << " rotate(" << -font.escapement / 10.0 << ")";
    body_ << "\"" << ClipAttribute() << "><text y=\"" << dy << "\" text-anchor=\"" << anchor << "\" font-family=\""
          << Escaped(font.face) << "\" font-size=\"" << (font.pixelHeight < 1 ? 1 : font.pixelHeight) << "px\"";
    if (font.weight >= 600) body_ << " font-weight=\"bold\"";
    body_ << " fill=\"" << Color(TextColor()) << "\">" << Escaped(text) << "</text></g>\n";
}

SurfaceSize SvgSurface::DeviceTextExtent(std::string_view text, const DeviceFont& font) const {
    const QFontMetrics metrics(FontOf(font));
    return {metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))),
            metrics.height()};
}

void SvgSurface::DeviceCopy(const SurfaceRect& destination, const RgbImage& source, const SurfaceRect& sourceRect) {
    const QImage all(source.rgb.data(), source.width, source.height, source.width * 3, QImage::Format_RGB888);
    const QImage part = all.copy(sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
                                 sourceRect.bottom - sourceRect.top);
    QByteArray png;
    QBuffer buffer(&png);
    if (part.isNull() || !buffer.open(QIODevice::WriteOnly) || !part.save(&buffer, "PNG")) return;
    body_ << "<image x=\"" << destination.left << "\" y=\"" << destination.top << "\" width=\""
          << destination.right - destination.left << "\" height=\"" << destination.bottom - destination.top
          << "\" preserveAspectRatio=\"none\"" << ClipAttribute() << " xlink:href=\"data:image/png;base64,"
          << png.toBase64().toStdString() << "\"/>\n";
}

bool SaveSvgFile(int width, int height, const std::function<void(Surface&)>& draw, const std::string& storedPath,
                 std::string* error) {
    if (error) error->clear();
    if (!ImageSizeAcceptable(width, height, 1)) return false;
    SvgSurface svg(width, height);
    draw(svg);
    const std::string text = svg.Document();
    return platform::ReplaceFile(platform::MapPath(storedPath), platform::kPictureTag, text, error);
}
