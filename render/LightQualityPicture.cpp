#include "render/LightQualityPicture.h"

#include <algorithm>
#include <cmath>

#include "core/graph/TextOut.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/metrics/NmSpectrum.h"
#include "core/metrics/PlanckianLocus.h"
#include "core/metrics/SpectrumLocus.h"
#include "core/platform/LocalTime.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "render/DataGraphPicture.h"
#include "render/QtSurfaceImage.h"

using metrics::LightMetrics;

namespace {

const std::string& S(int id) { return platform::LoadString(id); }

constexpr int kMargin = 8;
// The diagram spans x 0..0.8 and y 0..0.9, both at one scale.
constexpr double kDiagramX = 0.8, kDiagramY = 0.9;
constexpr std::uint32_t kGridColor = 0xDDDDDD;
constexpr std::uint32_t kFrameColor = 0x808080;
constexpr int kKelvinMarks[] = {2000, 3000, 4000, 6500, 10000};
constexpr int kLocusLabels[] = {460, 480, 500, 520, 540, 560, 580, 600, 620};

struct Band {
    int from, to;
    std::uint32_t color;
    const char* name;
};
// The plant bands, pale enough for the curve to stay readable over them.
constexpr Band kPlantBands[] = {{315, 400, 0xF0C8E0, "UV-A"}, {400, 500, 0xFFD8C8, "B"}, {500, 600, 0xC8F0C8, "G"},
                                {600, 700, 0xC8C8FF, "R"},    {700, 750, 0xA8A8D8, "FR"}};

std::string Value(const LightMetrics& m, int metric, const char* format) {
    if (!m.Has(metric)) return S(ids::kNotAvailable);
    std::string text = platform::FormatG(m.Get(metric), format);
    if (m.IsPartial(metric)) text += " (" + S(ids::kPartialBand) + ")";
    return text;
}

// CIE 1931 x, y of a Planckian radiator.
void PlanckianXy(double kelvin, double& x, double& y) {
    double u, v;
    metrics::PlanckianLocus::Chromaticity(kelvin, u, v);
    const double d = 2.0 * u - 8.0 * v + 4.0;
    x = 3.0 * u / d;
    y = 2.0 * v / d;
}

}  // namespace

CLightQualityPicture::CLightQualityPicture() : calculator_(std::make_unique<metrics::MetricsCalculator>()) {}
CLightQualityPicture::~CLightQualityPicture() = default;

void CLightQualityPicture::Show(std::shared_ptr<const CSpectrumData> record) {
    record_ = std::move(record);
    metrics_ = LightMetrics{};
    if (!record_) return;
    metrics_ = calculator_->Compute(*record_);
}

std::vector<CLightQualityPicture::Line> CLightQualityPicture::Lines() const {
    const LightMetrics& m = metrics_;
    std::vector<Line> out;
    auto add = [&](const std::string& label, int metric, const char* format) {
        out.push_back({label, Value(m, metric, format)});
    };
    out.push_back({S(ids::kPlantGroup), {}, true});
    const int plantLabels[] = {ids::kCsvPpfd,     ids::kCsvEppfd,  ids::kCsvPfdUva,    ids::kCsvPfdBlue,
                               ids::kCsvPfdGreen, ids::kCsvPfdRed, ids::kCsvPfdFarRed};
    for (int i = 0; i < 7; ++i) add(S(plantLabels[i]), metrics::kPpfd + i, "%.1f");
    add(S(ids::kCsvRfr), metrics::kRfr, "%.3f");

    out.push_back({S(ids::kColourGroup), {}, true});
    add(S(ids::kCsvTristimulusX), metrics::kX, "%.1f");
    add(S(ids::kCsvTristimulusY), metrics::kY, "%.1f");
    add(S(ids::kCsvTristimulusZ), metrics::kZ, "%.1f");
    add(S(ids::kCsvChromaticityX), metrics::kChromaticityX, "%.4f");
    add(S(ids::kCsvChromaticityY), metrics::kChromaticityY, "%.4f");
    add(S(ids::kCsvUPrime), metrics::kUPrime, "%.4f");
    add(S(ids::kCsvVPrime), metrics::kVPrime, "%.4f");
    add(S(ids::kCsvCct), metrics::kCct, "%.0f");
    add(S(ids::kCsvDuv), metrics::kDuv, "%.4f");
    add(S(ids::kCsvRa), metrics::kRa, "%.1f");
    // R1..R14 in two lines of seven.
    for (int first = 1; first <= 8; first += 7) {
        std::string values;
        for (int i = first; i < first + 7; ++i) {
            if (!values.empty()) values += ' ';
            const int metric = metrics::kR1 + i - 1;
            values += m.Has(metric) ? platform::FormatG(m.Get(metric), "%.0f") : S(ids::kNotAvailable);
        }
        out.push_back({FormatText(S(ids::kRangeOfIndices), {first, first + 6}), values});
    }
    add(S(ids::kCsvMelanopicEdi), metrics::kMelanopicEdi, "%.1f");
    add(S(ids::kCsvMelanopicDer), metrics::kMelanopicDer, "%.3f");

    out.push_back({S(ids::kSolarGroup), {}, true});
    for (std::size_t b = 0; b < metrics::kSolarBands.size(); ++b)
        add(FormatText(S(ids::kCsvSolarRatio), {metrics::kSolarBands[b].from, metrics::kSolarBands[b].to}),
            metrics::kSolarFirst + static_cast<int>(b), "%.4g");
    return out;
}

SurfacePoint CLightQualityPicture::DiagramPoint(double x, double y) const {
    const double scale = std::min((diagram_.right - diagram_.left) / kDiagramX, (diagram_.bottom - diagram_.top) / kDiagramY);
    return {diagram_.left + static_cast<int>(std::lround(x * scale)),
            diagram_.bottom - static_cast<int>(std::lround(y * scale))};
}

void CLightQualityPicture::Draw(Surface& surface) {
    const int width = surface.Width(), height = surface.Height();
    surface.FillRect({0, 0, width, height}, 0xFFFFFF);
    std::string title = S(ids::kNoRecordShown);
    if (record_) {
        title = platform::FormatLocal(record_->GetTime(), "%Y/%m/%d %H:%M:%S");
        if (!record_->GetMemo().empty()) title += "  " + record_->GetMemo();
    }
    CTextOut titleText(&surface, 14, 0);
    titleText.DrawText(kMargin, kMargin, title, TextAlign::kLeft | TextAlign::kTop, 0);
    const int top = kMargin + titleText.TextExtent(title, 0).cy + 6;

    // The values take what they need of the left, at most half the width; the pictures the rest.
    const SurfaceRect values{kMargin, top, width / 2, height - kMargin};
    const int left = DrawValues(surface, values) + 12;
    const int right = width - kMargin, bottom = height - kMargin;
    const int side = std::max(0, std::min(right - left - 30, (bottom - top) * 11 / 20 - 22));
    diagram_ = {left + 30, top, left + 30 + side, top + side};
    DrawDiagram(surface);
    spectrum_ = {left + 30, diagram_.bottom + 34, right, bottom - 16};
    if (spectrum_.bottom < spectrum_.top) spectrum_.bottom = spectrum_.top;
    DrawSpectrum(surface);
}

int CLightQualityPicture::DrawValues(Surface& surface, const SurfaceRect& area) {
    const std::vector<Line> lines = Lines();
    const int rows = static_cast<int>(lines.size());
    const int rowHeight = std::clamp((area.bottom - area.top) / std::max(1, rows), 8, 18);
    // The largest font up to the row height at which labels and values fit side by side.
    int fontHeight = std::clamp(rowHeight - 4, 7, 12), labelWidth = 0;
    for (;; --fontHeight) {
        CTextOut probe(&surface, fontHeight, 0);
        int valueWidth = 0;
        labelWidth = 0;
        for (const Line& l : lines) {
            if (l.heading) continue;
            labelWidth = std::max(labelWidth, probe.TextExtent(l.label, 0).cx);
            valueWidth = std::max(valueWidth, probe.TextExtent(l.value, 0).cx);
        }
        if (fontHeight <= 7 || area.left + 20 + labelWidth + valueWidth <= area.right) break;
    }
    CTextOut text(&surface, fontHeight, 0);
    const int valueX = area.left + 20 + labelWidth;
    int y = area.top, used = valueX;
    for (const Line& l : lines) {
        used = std::max(used, (l.heading ? area.left : valueX) + text.TextExtent(l.heading ? l.label : l.value, 0).cx);
        if (l.heading) {
            CTextOut heading(&surface, fontHeight, 0x800000);
            heading.DrawText(area.left, y, l.label, TextAlign::kLeft | TextAlign::kTop, 0);
        } else {
            text.DrawText(area.left + 8, y, l.label, TextAlign::kLeft | TextAlign::kTop, 0);
            text.DrawText(valueX, y, l.value, TextAlign::kLeft | TextAlign::kTop, 0);
        }
        y += rowHeight;
    }
    return std::min(used, area.right);
}

void CLightQualityPicture::DrawDiagram(Surface& surface) {
    if (diagram_.right - diagram_.left < 20) return;
    const SurfacePen oldPen = surface.SelectPen({PenStyle::Solid, 1, kGridColor});
    CTextOut ticks(&surface, 9, kFrameColor);
    for (int i = 0; i <= 9; ++i) {
        const double v = i / 10.0;
        const SurfacePoint a = DiagramPoint(v, 0), b = DiagramPoint(v, kDiagramY);
        const SurfacePoint c = DiagramPoint(0, v), d = DiagramPoint(kDiagramX, v);
        const std::string label = platform::FormatG(v, "%.1f");
        if (i <= 8) {
            surface.Line(a.x, a.y, b.x, b.y);
            ticks.DrawText(a.x, a.y + 2, label, TextAlign::kCenter | TextAlign::kTop, 0);
        }
        surface.Line(c.x, c.y, d.x, d.y);
        ticks.DrawText(c.x - 3, c.y, label, TextAlign::kRight | TextAlign::kBaseline, 0);
    }
    const SurfacePoint origin = DiagramPoint(0, 0), corner = DiagramPoint(kDiagramX, kDiagramY);
    surface.FrameRect({origin.x, corner.y, corner.x + 1, origin.y + 1}, kFrameColor);

    // The spectrum locus closed by the purple line.
    std::vector<SurfacePoint> locus;
    for (const metrics::SpectrumLocus::Light& l : metrics::SpectrumLocus::Curve(1)) locus.push_back(DiagramPoint(l.x, l.y));
    if (!locus.empty()) locus.push_back(locus.front());
    surface.SelectPen({PenStyle::Solid, 1, kSpectrumLocusColor});
    surface.Polyline(locus);
    CTextOut nm(&surface, 9, kSpectrumLocusColor);
    for (const metrics::SpectrumLocus::Light& l : metrics::SpectrumLocus::Curve(1)) {
        if (std::find(std::begin(kLocusLabels), std::end(kLocusLabels), l.nm) == std::end(kLocusLabels)) continue;
        const SurfacePoint p = DiagramPoint(l.x, l.y);
        // Labels outside the locus: left of its blue side, right of its green and red side.
        const bool leftSide = l.nm < 510;
        nm.DrawText(p.x + (leftSide ? -4 : 4), p.y, std::to_string(l.nm),
                    (leftSide ? TextAlign::kRight : TextAlign::kLeft) | TextAlign::kBaseline, 0);
    }

    // The Planckian locus from 1000 K to 25000 K, with a few temperatures marked.
    std::vector<SurfacePoint> planck;
    for (double t = 1000; t <= 25000; t *= 1.05) {
        double x, y;
        PlanckianXy(t, x, y);
        planck.push_back(DiagramPoint(x, y));
    }
    surface.SelectPen({PenStyle::Solid, 1, kPlanckianColor});
    surface.Polyline(planck);
    CTextOut kelvin(&surface, 9, kPlanckianColor);
    for (int t : kKelvinMarks) {
        double x, y;
        PlanckianXy(t, x, y);
        const SurfacePoint p = DiagramPoint(x, y);
        surface.Line(p.x, p.y - 3, p.x, p.y + 4);
        // Read upwards, ending just below the mark.
        kelvin.DrawText(p.x - 5, p.y + 6, std::to_string(t) + "K", TextAlign::kRight | TextAlign::kTop, 900);
    }

    if (metrics_.Has(metrics::kChromaticityX) && metrics_.Has(metrics::kChromaticityY)) {
        const SurfacePoint p = DiagramPoint(metrics_.Get(metrics::kChromaticityX), metrics_.Get(metrics::kChromaticityY));
        surface.SelectPen({PenStyle::Solid, 1, kPointColor});
        const SurfaceBrush oldBrush = surface.SelectBrush({false, kPointColor});
        surface.Ellipse({p.x - 4, p.y - 4, p.x + 5, p.y + 5});
        surface.SelectBrush(oldBrush);
    }
    surface.SelectPen(oldPen);
}

void CLightQualityPicture::DrawSpectrum(Surface& surface) {
    const SurfaceRect& r = spectrum_;
    if (r.right - r.left < 20 || r.bottom - r.top < 20) return;
    const metrics::NmSpectrum spectrum = record_ ? metrics::NmSpectrum::FromRecord(*record_) : metrics::NmSpectrum();
    const int first = spectrum.Empty() ? 350 : std::min(350, spectrum.First() / 50 * 50);
    const int last = metrics::NmSpectrum::kHighest;
    double peak = 0;
    if (!spectrum.Empty())
        for (int nm = spectrum.First(); nm <= spectrum.Last(); ++nm) peak = std::max(peak, spectrum.At(nm));
    const double yMax = peak > 0 ? peak * 1.1 : 1.0;
    auto px = [&](double nm) { return r.left + static_cast<int>(std::lround((nm - first) * (r.right - r.left) / (last - first))); };
    auto py = [&](double v) {
        return r.bottom - static_cast<int>(std::lround(std::clamp(v / yMax, 0.0, 1.0) * (r.bottom - r.top)));
    };

    CTextOut bandText(&surface, 9, 0x404040);
    for (const Band& b : kPlantBands) {
        // UV-A begins below the plot when the record does.
        const int from = std::max(px(b.from), r.left), to = std::min(px(b.to), r.right);
        if (to <= from) continue;
        surface.FillRect({from, r.top, to, r.bottom}, b.color);
        bandText.DrawText((from + to) / 2, r.top + 2, b.name, TextAlign::kCenter | TextAlign::kTop, 0);
    }
    surface.FrameRect({r.left, r.top, r.right + 1, r.bottom + 1}, kFrameColor);
    CTextOut axis(&surface, 9, 0);
    const SurfacePen oldPen = surface.SelectPen({PenStyle::Solid, 1, kFrameColor});
    for (int nm = (first + 99) / 100 * 100; nm <= last; nm += 100) {
        surface.Line(px(nm), r.bottom, px(nm), r.bottom + 3);
        axis.DrawText(px(nm), r.bottom + 3, std::to_string(nm), TextAlign::kCenter | TextAlign::kTop, 0);
    }
    axis.DrawText(r.left - 3, r.top, platform::FormatG(yMax, "%.3g"), TextAlign::kRight | TextAlign::kTop, 0);
    axis.DrawText(r.left - 3, r.bottom, "0", TextAlign::kRight | TextAlign::kBaseline, 0);
    axis.DrawText(r.left, r.top - 2, S(ids::kSpectralIrradianceWm2Nm), TextAlign::kLeft | TextAlign::kBottom, 0);

    if (!spectrum.Empty()) {
        std::vector<SurfacePoint> curve;
        for (int nm = spectrum.First(); nm <= spectrum.Last(); ++nm) curve.push_back({px(nm), py(spectrum.At(nm))});
        surface.SelectPen({PenStyle::Solid, 1, kCurveColor});
        surface.Polyline(curve);
    }
    surface.SelectPen(oldPen);
}

bool CLightQualityPicture::Render(int width, int height, double pixelRatio) {
    std::unique_ptr<QtSurfaceImage> g = QtSurfaceImage::Create(width, height, pixelRatio);
    if (!g) return false;
    Draw(*g);
    graph_ = std::move(g);
    return true;
}
