#include "render/NumericalGraphPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/graph/NumericalGraph.h"
#include "core/graph/TextOut.h"
#include "core/platform/LocalTime.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "render/QtSurfaceImage.h"
#include "render/DataGraphPicture.h"

namespace {
const std::string& S(int id) { return platform::LoadString(id); }
std::string TimeText(platform::CalTime t, const char* format) { return platform::FormatLocal(t, format); }
}  // namespace

CNumericalGraphPicture::CNumericalGraphPicture() = default;
CNumericalGraphPicture::~CNumericalGraphPicture() = default;

void CNumericalGraphPicture::ShowRecords(const CSpectrumDataSet& records) { records_ = records; }

int CNumericalGraphPicture::Kind() const {
    const int k = prm_.m_SHOW_KIND.Get();
    return k >= 0 && k <= kIntegrationKind ? k : kIntegrationKind;
}

double CNumericalGraphPicture::ValueOf(int index) {
    const CSpectrumDataSet::Entry& e = records_.At(index);
    const int kind = Kind();
    switch (kind) {
        case 3: return e.Longitude;
        case 4: return e.Latitude;
        case 5: return e.Altitude;
        default: break;
    }
    // A record that can no longer be read has no value: it is left out like one that is no number.
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    if (kind < 0 || kind > 7) {
        const std::shared_ptr<const CSpectrumData> r = records_.Record(index);
        return r ? r->Integrate(DrawableNm(prm_.m_MIN_INTEGRATION_AREA), DrawableNm(prm_.m_MAX_INTEGRATION_AREA)) : kNone;
    }
    const CSpectrumDataSet::Derived* v = records_.Values(index);
    if (!v) return kNone;
    switch (kind) {
        case 0: return v->par;
        case 1: return v->photon;
        case 2: return v->lux;
        case 6: return v->uvA;
        default: return v->uvB;
    }
}

double CNumericalGraphPicture::XOf(int index) const {
    return prm_.m_TIME_AXIS_KIND.Get() == 0 ? static_cast<double>(records_.At(index).Time)
                                            : static_cast<double>(index);
}

std::pair<CPrmFloat*, CPrmFloat*> CNumericalGraphPicture::RangeKeys() { return prm_.RangeKeys(Kind()); }

void CNumericalGraphPicture::DrawGraph(Surface& surface) {
    const int width = surface.Width();
    const int height = surface.Height();
    surface.FillRect({0, 0, width, height}, 0xFFFFFF);
    const int n = records_.Count();
    const std::string& label = S(KindLabel());
    // Text and the room around the plot follow the picture's size.
    const double k = CTextOut::LayoutScale(width, height);
    auto px = [k](int pixels) { return CTextOut::Scaled(pixels, k); };
    CTextOut title(&surface, px(14), 0);
    const std::string titleText =
        n ? FormatText(S(ids::kCalculationTitleFormat),
                       {label, TimeText(records_.At(0).Time, "%Y/%m/%d %H:%M:%S"),
                        TimeText(records_.At(n - 1).Time, "%Y/%m/%d %H:%M:%S")})
          : label;
    title.DrawText(width / 2, 10, titleText, TextAlign::kCenter | TextAlign::kTop, 0);
    const int titleHeight = title.TextExtent(titleText, 0).cy;

    GraphSeries series;
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (int i = 0; i < n; ++i) {
        const double v = ValueOf(i);
        series.Append(XOf(i), v);
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    int reserved = 0;
    if (Kind() == kIntegrationKind) {
        CTextOut info(&surface, px(12), 0);
        const std::string line = FormatText(S(ids::kIntegrationRange), {DrawableNm(prm_.m_MIN_INTEGRATION_AREA),
                                                                        DrawableNm(prm_.m_MAX_INTEGRATION_AREA)});
        info.DrawText(px(50), height - px(5), line, TextAlign::kLeft | TextAlign::kBottom, 0);
        reserved = info.TextExtent(line, 0).cy + px(5);
    }
    plot_ = {px(50), titleHeight + px(20), width - px(10), height - reserved - px(30)};
    CNumericalGraph graph(&surface, plot_, kPlotBackground, prm_.m_SHOW_GRID.Get() != 0, prm_.m_SHOW_MARKER.Get() != 0);
    graph.SetLabelHeight(px(graph_style::kLabelHeight));
    if (n == 0) return;
    double x0 = XOf(0), x1 = XOf(n - 1);
    // Records of one second have no time span; a second either side keeps the map defined.
    if (x1 <= x0) {
        x0 -= 1;
        x1 += 1;
    }
    graph.SetXRange(x0, x1);
    if (prm_.m_RANGE_AUTO_Y.Get()) {
        if (!std::isfinite(lo)) lo = hi = 0;
        graph.SetYRangeSnapped(lo, hi, true);
    } else {
        auto keys = RangeKeys();
        graph.SetYRange(keys.first->Get(), keys.second->Get());
    }
    yRange_ = graph.GetYRange();
    graph.Draw(static_cast<std::uint32_t>(prm_.m_DATA_COLOR.Get()) & 0xFFFFFFu, series, true);
    CTextOut axis(&surface, px(10), 0);
    axis.DrawText(plot_.left - px(45), (plot_.top + plot_.bottom) / 2, label, TextAlign::kCenter | TextAlign::kTop, 900);
    axis.DrawText(plot_.left, plot_.bottom + px(5), TimeText(records_.At(0).Time, "%Y/%m/%d-%H:%M:%S"),
                  TextAlign::kLeft | TextAlign::kTop, 0);
    axis.DrawText(plot_.right, plot_.bottom + px(5), TimeText(records_.At(n - 1).Time, "%Y/%m/%d-%H:%M:%S"),
                  TextAlign::kRight | TextAlign::kTop, 0);
}

double CNumericalGraphPicture::HalfSpacing() const {
    const int n = records_.Count();
    return n > 1 ? static_cast<double>(plot_.right - plot_.left) / (2.0 * n - 2.0) : (plot_.right - plot_.left) / 2.0;
}

int CNumericalGraphPicture::BandWidth() const {
    const double e = HalfSpacing();
    return e > 20 ? 2 * static_cast<int>(e) : 40;
}

int CNumericalGraphPicture::Pick(int x, int& column) const {
    const int n = records_.Count();
    if (n == 0 || plot_.right <= plot_.left) return -1;
    if (prm_.m_TIME_AXIS_KIND.Get() != 0) {
        const double e = HalfSpacing();
        const int i = std::clamp(static_cast<int>(((x - plot_.left) / e + 1) * 0.5), 0, n - 1);
        column = static_cast<int>(i * e * 2 + plot_.left);
        return i;
    }
    double t0 = XOf(0), t1 = XOf(n - 1);
    if (t1 <= t0) {
        t0 -= 1;
        t1 += 1;
    }
    const double t = CDRangeMap(plot_.left, plot_.right, t0, t1).Map(x);
    const int i = records_.FindNearest(static_cast<platform::CalTime>(t));
    if (i < 0) return -1;
    column = static_cast<int>(CDRangeMap(t0, t1, plot_.left, plot_.right).Map(XOf(i)));
    return i;
}

bool CNumericalGraphPicture::DrawReadOut(Surface& surface, int x) {
    if (x < plot_.left || x >= plot_.right) return false;
    int cx = 0;
    const int i = Pick(x, cx);
    if (i < 0) return false;
    surface.SetClipRect(plot_);
    const RasterOp oldOp = surface.SetRasterOp(RasterOp::Xor);
    const SurfacePen oldPen = surface.SelectPen({PenStyle::Solid, BandWidth(), kBandColor, PenCap::Flat});
    surface.Line(cx, plot_.top, cx, plot_.bottom);
    surface.SelectPen(oldPen);
    surface.SetRasterOp(oldOp);
    surface.ClearClip();

    const double v = ValueOf(i);
    int cy = plot_.bottom;
    if (yRange_.GetMax() != yRange_.GetMin()) {
        const double m = CDRangeMap(yRange_.GetMin(), yRange_.GetMax(), plot_.bottom, plot_.top).Map(v);
        cy = std::isfinite(m) ? static_cast<int>(std::clamp(m, double(plot_.top), double(plot_.bottom))) : plot_.bottom;
    }
    const SurfacePen pen = surface.SelectPen({PenStyle::Solid, 1, 0xFFFFFF});
    const SurfaceBrush brush = surface.SelectBrush({false, 0x0000FF});
    surface.Ellipse({cx - 5, cy - 5, cx + 6, cy + 6});
    surface.SelectBrush(brush);
    surface.SelectPen(pen);

    CTextOut text(&surface, 10, 0);
    const unsigned align = (cx > (plot_.left + plot_.right) / 2 ? TextAlign::kRight : TextAlign::kLeft) | TextAlign::kTop;
    text.DrawText(cx, plot_.top + 10, "[" + S(ids::kSelectedPositionInfo) + "]", align, 0);
    text.DrawText(cx, plot_.top + 25, S(ids::kTime) + platform::FormatLocal(records_.At(i).Time, " : %Y/%m/%d-%H:%M:%S"), align, 0);
    text.DrawText(cx, plot_.top + 40, S(KindLabel()) + " : " + platform::FormatG(v), align, 0);
    return true;
}

bool CNumericalGraphPicture::Render(int width, int height) {
    std::unique_ptr<QtSurfaceImage> g = QtSurfaceImage::Create(width, height);
    if (!g) return false;
    DrawGraph(*g);
    RgbImage px;
    if (!g->ReadPixels(px)) return false;
    graph_ = std::move(g);
    pixels_ = std::move(px);
    return true;
}

bool CNumericalGraphPicture::Enabled(GraphCommand command) const {
    switch (command) {
        case GraphCommand::YZoomIn:
        case GraphCommand::YZoomOut:
        case GraphCommand::YShiftUp:
        case GraphCommand::YShiftDown: return prm_.m_RANGE_AUTO_Y.Get() == 0;
        default: return true;
    }
}

bool CNumericalGraphPicture::Execute(GraphCommand command) {
    if (!Enabled(command)) return false;
    auto [minKey, maxKey] = RangeKeys();
    const double lo = minKey->Get(), hi = maxKey->Get(), r = hi - lo;
    double a = lo, b = hi;
    switch (command) {
        case GraphCommand::YZoomIn: a = lo + 0.1 * r; b = hi - 0.1 * r; break;
        case GraphCommand::YZoomOut: a = lo - 0.1 * r; b = hi + 0.1 * r; break;
        case GraphCommand::YShiftUp: a = lo - 0.2 * r; b = hi - 0.2 * r; break;
        case GraphCommand::YShiftDown: a = lo + 0.2 * r; b = hi + 0.2 * r; break;
        default: return false;
    }
    *minKey = static_cast<float>(a);
    *maxKey = static_cast<float>(b);
    return true;
}
