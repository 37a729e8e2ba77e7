#include "render/HeatMapPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/graph/Scale.h"
#include "core/graph/TextOut.h"
#include "core/graph/TimeAxis.h"
#include "core/platform/LocalTime.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "render/DataGraphPicture.h"
#include "render/QtSurfaceImage.h"

namespace {

const std::string& S(int id) { return platform::LoadString(id); }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kLabel = 12;

// The median of the steps between the records' times: what one record covers in a regular run.
double TypicalStep(const CSpectrumDataSet& records) {
    const int n = records.Count();
    std::vector<platform::CalTime> steps;
    steps.reserve(static_cast<std::size_t>(std::max(n - 1, 0)));
    for (int i = 1; i < n; ++i)
        if (records.At(i).Time > records.At(i - 1).Time) steps.push_back(records.At(i).Time - records.At(i - 1).Time);
    if (steps.empty()) return 1.0;
    auto mid = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), mid, steps.end());
    return static_cast<double>(*mid);
}

}  // namespace

CHeatMapPicture::CHeatMapPicture() = default;
CHeatMapPicture::~CHeatMapPicture() = default;

void CHeatMapPicture::SetData(const CSpectrumDataSet& records, const CSpectrumData* standard) {
    records_ = records;
    standard_.reset();
    standardWl_.clear();
    standardValues_.clear();
    if (standard) {
        standard_ = *standard;
        standard_->PixelValues(0, standardWl_, standardValues_);
    }
}

void CHeatMapPicture::SetWavelengths(double from, double to) {
    if (!(std::isfinite(from) && std::isfinite(to)) || from == to) return;
    fromNm_ = std::min(from, to);
    toNm_ = std::max(from, to);
}

std::uint32_t CHeatMapPicture::Colour(double v) {
    // A polynomial fit of a perceptually uniform map from dark blue to yellow.
    static constexpr double c[7][3] = {{0.2777273272234177, 0.005407344544966578, 0.3340998053353061},
                                       {0.1050930431085774, 1.404613529898575, 1.384590162594685},
                                       {-0.3308618287255563, 0.214847559468213, 0.09509516302823659},
                                       {-4.634230498983486, -5.799100973351585, -19.33244095627987},
                                       {6.228269936347081, 14.17993336680509, 56.69055260068105},
                                       {4.776384997670288, -13.74514537774601, -65.35303263337234},
                                       {-5.435455855934631, 4.645852612178535, 26.3124352495832}};
    const double t = std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0;
    std::uint32_t colour = 0;
    for (int k = 0; k < 3; ++k) {
        double x = c[6][k];
        for (int j = 5; j >= 0; --j) x = x * t + c[j][k];
        colour |= static_cast<std::uint32_t>(std::lround(std::clamp(x, 0.0, 1.0) * 255.0)) << (8 * k);
    }
    return colour;
}

double CHeatMapPicture::WavelengthAt(int column) const {
    const int w = std::max(1, plot_.right - plot_.left);
    return fromNm_ + (column + 0.5) * (toNm_ - fromNm_) / w;
}

double CHeatMapPicture::ValueOf(const std::vector<float>& wavelengths, const std::vector<float>& values, double nm) const {
    const double e = CSpectrumData::ValueAt(wavelengths, values, static_cast<float>(nm));
    if (!Ratio()) return e;
    const double s = CSpectrumData::ValueAt(standardWl_, standardValues_, static_cast<float>(nm));
    return s != 0.0 ? 100.0 * e / s : kNaN;
}

void CHeatMapPicture::DrawGraph(Surface& surface) {
    const int width = surface.Width();
    const int height = surface.Height();
    surface.FillRect({0, 0, width, height}, 0xFFFFFF);
    const int n = records_.Count();
    std::string title = S(ids::kHeatMap);
    if (n > 0)
        title += FormatText(S(ids::k3DTitleRange), {platform::FormatLocal(records_.At(0).Time, "%Y/%m/%d %H:%M:%S"),
                                                   platform::FormatLocal(records_.At(n - 1).Time, "%Y/%m/%d %H:%M:%S")});
    CTextOut titleText(&surface, 14, 0);
    titleText.DrawText(width / 2, 10, title, TextAlign::kCenter | TextAlign::kTop, 0);
    const int top = 10 + titleText.TextExtent(title, 0).cy + 15;
    plot_ = {80, top, std::max(81, width - 100), std::max(top + 1, height - 45)};
    const int w = plot_.right - plot_.left, h = plot_.bottom - plot_.top;
    rowRecord_.assign(static_cast<std::size_t>(h), -1);
    values_.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), std::numeric_limits<float>::quiet_NaN());
    lo_ = 0;
    hi_ = 1;

    // Time down: each record covers the typical step around its time, so a regular run fills the
    // rows and a longer pause leaves some empty.
    if (n > 0) {
        const double step = TypicalStep(records_);
        t0_ = static_cast<double>(records_.At(0).Time) - step / 2;
        t1_ = static_cast<double>(records_.At(n - 1).Time) + step / 2;
        const double rowSpan = (t1_ - t0_) / h;
        const double reach = std::max(step, rowSpan) / 2;
        for (int y = 0; y < h; ++y) {
            const double centre = t0_ + (y + 0.5) * rowSpan;
            const int i = records_.FindNearest(static_cast<platform::CalTime>(std::llround(centre)));
            if (i >= 0 && std::abs(static_cast<double>(records_.At(i).Time) - centre) <= reach)
                rowRecord_[static_cast<std::size_t>(y)] = i;
        }
        // Rows of one record share its values.
        std::vector<float> wl, e;
        std::vector<float> row(static_cast<std::size_t>(w));
        int made = -1;
        bool readable = false;
        for (int y = 0; y < h; ++y) {
            const int i = rowRecord_[static_cast<std::size_t>(y)];
            if (i < 0) continue;
            if (i != made) {
                made = i;
                const std::shared_ptr<const CSpectrumData> r = records_.Record(i);
                readable = r != nullptr;
                if (readable) {
                    r->PixelValues(0, wl, e);
                    for (int x = 0; x < w; ++x)
                        row[static_cast<std::size_t>(x)] = static_cast<float>(ValueOf(wl, e, WavelengthAt(x)));
                }
            }
            if (!readable) {
                rowRecord_[static_cast<std::size_t>(y)] = -1;
                continue;
            }
            std::copy(row.begin(), row.end(), values_.begin() + static_cast<std::ptrdiff_t>(y) * w);
        }
        // The colour range: the shown values, from zero for irradiance.
        double a = std::numeric_limits<double>::infinity(), b = -a;
        for (float v : values_)
            if (std::isfinite(v)) {
                a = std::min(a, static_cast<double>(v));
                b = std::max(b, static_cast<double>(v));
            }
        if (a <= b) {
            lo_ = Ratio() ? a : std::min(a, 0.0);
            hi_ = b > lo_ ? b : lo_ + 1;
        }
    }

    RgbImage map;
    if (map.Resize(w, h)) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float v = values_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
                map.Set(x, y, std::isnan(v) ? kEmptyColor : Colour((v - lo_) / (hi_ - lo_)));
            }
        surface.BlockCopy(plot_.left, plot_.top, map, 0, 0, w, h);
    }
    surface.FrameRect({plot_.left - 1, plot_.top - 1, plot_.right + 1, plot_.bottom + 1}, 0x000000);

    CTextOut text(&surface, kLabel, 0);
    // Wavelength ticks under the map.
    CScale scale;
    scale.Compute(fromNm_, toNm_, 8, true);
    for (double nm : scale.Ticks()) {
        const int x = plot_.left + static_cast<int>(std::lround((nm - fromNm_) / (toNm_ - fromNm_) * w));
        if (x < plot_.left || x > plot_.right) continue;
        surface.Line(x, plot_.bottom, x, plot_.bottom + 4);
        text.DrawText(x, plot_.bottom + 5, platform::FormatG(nm), TextAlign::kCenter | TextAlign::kTop, 0);
    }
    text.DrawText((plot_.left + plot_.right) / 2, height - 3, S(ids::kWavelengthNm), TextAlign::kCenter | TextAlign::kBottom, 0);
    // Dated time ticks beside it.
    if (n > 0) {
        const auto from = static_cast<platform::CalTime>(std::ceil(t0_));
        const auto to = static_cast<platform::CalTime>(std::floor(t1_));
        for (const time_axis::Tick& t : time_axis::Ticks(from, to, std::max(2, h / 40))) {
            const int y = plot_.top + static_cast<int>(std::lround((static_cast<double>(t.time) - t0_) / (t1_ - t0_) * h));
            surface.Line(plot_.left - 6, y, plot_.left - 1, y);
            text.DrawText(plot_.left - 7, y + kLabel / 3, t.label, TextAlign::kRight | TextAlign::kBaseline, 0);
        }
    }
    // The scale bar.
    const SurfaceRect bar{plot_.right + 12, plot_.top, plot_.right + 28, plot_.bottom};
    RgbImage ramp;
    if (ramp.Resize(1, h)) {
        for (int y = 0; y < h; ++y) ramp.Set(0, y, Colour(1.0 - (y + 0.5) / h));
        surface.StretchCopy(bar, ramp);
    }
    surface.FrameRect(bar, 0x000000);
    CScale values;
    values.Compute(lo_, hi_, 6, true);
    for (double v : values.Ticks()) {
        const int y = plot_.bottom - static_cast<int>(std::lround((v - lo_) / (hi_ - lo_) * h));
        if (y < plot_.top || y > plot_.bottom) continue;
        surface.Line(bar.right, y, bar.right + 4, y);
        text.DrawText(bar.right + 6, y + kLabel / 3, platform::FormatG(v), TextAlign::kLeft | TextAlign::kBaseline, 0);
    }
    text.DrawText(width - 3, plot_.top - 4, S(Ratio() ? ids::kRatioPercent : ids::kIrradianceWm2Um),
                  TextAlign::kRight | TextAlign::kBottom, 0);
}

std::optional<CHeatMapPicture::Reading> CHeatMapPicture::ReadAt(int x, int y) const {
    const int w = plot_.right - plot_.left;
    if (x < plot_.left || x >= plot_.right || y < plot_.top || y >= plot_.bottom) return std::nullopt;
    const int col = x - plot_.left, row = y - plot_.top;
    if (static_cast<std::size_t>(row) >= rowRecord_.size() || rowRecord_[static_cast<std::size_t>(row)] < 0)
        return std::nullopt;
    Reading r;
    r.wavelength = WavelengthAt(col);
    r.record = rowRecord_[static_cast<std::size_t>(row)];
    r.time = records_.At(r.record).Time;
    r.value = values_[static_cast<std::size_t>(row) * static_cast<std::size_t>(w) + static_cast<std::size_t>(col)];
    return r;
}

bool CHeatMapPicture::DrawReadOut(Surface& surface, int x, int y) const {
    const std::optional<Reading> r = ReadAt(x, y);
    if (!r) return false;
    const SurfacePen old = surface.SelectPen({PenStyle::Solid, 1, 0xFFFFFF});
    surface.Line(plot_.left, y, plot_.right, y);
    surface.Line(x, plot_.top, x, plot_.bottom);
    surface.SelectPen(old);
    const std::string lines[3] = {
        S(ids::kWavelengthNm) + " : " + platform::FormatG(r->wavelength, "%.1f"),
        S(ids::kTime) + platform::FormatLocal(r->time, " : %Y/%m/%d %H:%M:%S"),
        S(ids::kHeatMapValue) + " : " + platform::FormatG(r->value)};
    CTextOut text(&surface, kLabel, 0);
    int boxW = 0;
    for (const std::string& l : lines) boxW = std::max(boxW, text.TextExtent(l, 0).cx);
    const int boxH = 3 * (kLabel + 3) + 6;
    // On the side away from the cursor, inside the map.
    const int left = x > (plot_.left + plot_.right) / 2 ? x - boxW - 18 : x + 8;
    const int top = y > (plot_.top + plot_.bottom) / 2 ? y - boxH - 8 : y + 8;
    surface.FillRect({left, top, left + boxW + 10, top + boxH}, 0xFFFFFF);
    surface.FrameRect({left, top, left + boxW + 10, top + boxH}, 0x000000);
    for (int k = 0; k < 3; ++k) text.DrawText(left + 5, top + 4 + k * (kLabel + 3), lines[k], TextAlign::kLeft | TextAlign::kTop, 0);
    return true;
}

bool CHeatMapPicture::Render(int width, int height, double pixelRatio) {
    std::unique_ptr<QtSurfaceImage> g = QtSurfaceImage::Create(width, height, pixelRatio);
    if (!g) return false;
    DrawGraph(*g);
    graph_ = std::move(g);
    return true;
}
