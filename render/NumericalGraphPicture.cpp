#include "render/NumericalGraphPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/graph/NumericalGraph.h"
#include "core/graph/TextOut.h"
#include "core/graph/TimeAxis.h"
#include "core/metrics/MetricsCalculator.h"
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

CNumericalGraphPicture::CNumericalGraphPicture() : calculator_(std::make_unique<metrics::MetricsCalculator>()) {}
CNumericalGraphPicture::~CNumericalGraphPicture() = default;

void CNumericalGraphPicture::ShowRecords(const CSpectrumDataSet& records) {
    records_ = records;
    metricCache_.clear();
}

int CNumericalGraphPicture::Kind() const {
    const int k = prm_.m_SHOW_KIND.Get();
    return k >= 0 && k < CNumericalGraphPrm::kKindCount ? k : kIntegrationKind;
}

int CNumericalGraphPicture::KindLabel() const {
    switch (Kind()) {
        case CNumericalGraphPrm::kKindPpfd: return ids::kCsvPpfd;
        case CNumericalGraphPrm::kKindRfr: return ids::kCsvRfr;
        case CNumericalGraphPrm::kKindCct: return ids::kCsvCct;
        case CNumericalGraphPrm::kKindMelanopicEdi: return ids::kCsvMelanopicEdi;
        case CNumericalGraphPrm::kKindDli: return ids::kLabelDli;
        default: return ids::kLabelParWm2 + Kind();
    }
}

double CNumericalGraphPicture::MetricOf(int index, int kind) {
    // The daily light integral's bars come from the PPFD of each record.
    if (kind == CNumericalGraphPrm::kKindDli) kind = CNumericalGraphPrm::kKindPpfd;
    // Each redraw (a resize, a zoom) would otherwise read every record from its day file again.
    if (cachedKind_ != kind || metricCache_.size() != static_cast<std::size_t>(records_.Count())) {
        metricCache_.assign(static_cast<std::size_t>(records_.Count()), std::nullopt);
        cachedKind_ = kind;
    }
    std::optional<double>& cached = metricCache_[static_cast<std::size_t>(index)];
    if (cached) return *cached;
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    double v = kNone;
    if (const std::shared_ptr<const CSpectrumData> r = records_.Record(index)) {
        if (kind == CNumericalGraphPrm::kKindPpfd) {
            if (!calculator_->Ppfd(*r, v)) v = kNone;
        } else {
            const int metric = kind == CNumericalGraphPrm::kKindRfr   ? metrics::kRfr
                               : kind == CNumericalGraphPrm::kKindCct ? metrics::kCct
                                                                      : metrics::kMelanopicEdi;
            const metrics::LightMetrics m = calculator_->Compute(*r);
            if (m.Has(metric)) v = m.Get(metric);
        }
    }
    cached = v;
    return v;
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
    if (kind >= CNumericalGraphPrm::kKindPpfd) return MetricOf(index, kind);
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
    if (Kind() == CNumericalGraphPrm::kKindDli) {
        DrawDays(surface, titleHeight);
        return;
    }

    GraphSeries series;
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    if (Kind() <= 2 || Kind() == 6 || Kind() == 7) records_.PrepareValues(0, n);
    for (int i = 0; i < n; ++i) {
        const double v = ValueOf(i);
        // A light-quality value a record cannot support (a CCT far from white) is no point at all.
        if (Kind() < CNumericalGraphPrm::kKindPpfd || std::isfinite(v)) series.Append(XOf(i), v);
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
    // Dated ticks; on the axis of equal spacing each stands at the first record of its time.
    const int maxTicks = std::max(2, (plot_.right - plot_.left) / 90);
    std::vector<CNumericalGraph::XTick> ticks;
    for (time_axis::Tick& t : time_axis::Ticks(records_.At(0).Time, records_.At(n - 1).Time, maxTicks)) {
        double x = static_cast<double>(t.time);
        if (prm_.m_TIME_AXIS_KIND.Get() != 0) {
            int lo = 0, hi = n - 1;
            while (lo < hi) {
                const int mid = lo + (hi - lo) / 2;
                if (records_.At(mid).Time < t.time) lo = mid + 1;
                else hi = mid;
            }
            x = lo;
            if (!ticks.empty() && ticks.back().x >= x) continue;
        }
        ticks.push_back({x, std::move(t.label)});
    }
    graph.SetXTicks(std::move(ticks));
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
}

double CNumericalGraphPicture::DaySpan() const { return prm_.m_TIME_AXIS_KIND.Get() == 0 ? 86400.0 : 1.0; }

double CNumericalGraphPicture::DayX(int day) const {
    // A day's bar stands at its noon on a time axis.
    return prm_.m_TIME_AXIS_KIND.Get() == 0 ? static_cast<double>(days_[static_cast<std::size_t>(day)].midnight) + 43200.0
                                            : static_cast<double>(day);
}

void CNumericalGraphPicture::DrawDays(Surface& surface, int titleHeight) {
    const int width = surface.Width(), height = surface.Height();
    std::vector<metrics::PpfdSample> samples;
    for (int i = 0; i < records_.Count(); ++i) {
        const double v = MetricOf(i, CNumericalGraphPrm::kKindDli);
        if (std::isfinite(v)) samples.push_back({records_.At(i).Time, v});
    }
    days_ = metrics::DailyLightIntegrals(std::move(samples));
    CTextOut note(&surface, 12, 0);
    const std::string& line = S(ids::kDliOutlinedNote);
    note.DrawText(50, height - 5, line, TextAlign::kLeft | TextAlign::kBottom, 0);
    plot_ = {50, titleHeight + 20, width - 10, height - note.TextExtent(line, 0).cy - 35};
    CNumericalGraph graph(&surface, plot_, kPlotBackground, prm_.m_SHOW_GRID.Get() != 0, false);
    const int n = static_cast<int>(days_.size());
    if (n == 0) return;
    const double span = DaySpan();
    dayRange_ = CDRange(DayX(0) - span / 2, DayX(n - 1) + span / 2);
    graph.SetXRange(dayRange_.GetMin(), dayRange_.GetMax());
    if (prm_.m_RANGE_AUTO_Y.Get()) {
        double hi = 0;
        for (const metrics::DayLightIntegral& d : days_) hi = std::max(hi, d.dli);
        graph.SetYRangeSnapped(0, hi > 0 ? hi : 1, true);
    } else {
        auto keys = RangeKeys();
        graph.SetYRange(keys.first->Get(), keys.second->Get());
    }
    yRange_ = graph.GetYRange();
    const std::uint32_t color = static_cast<std::uint32_t>(prm_.m_DATA_COLOR.Get()) & 0xFFFFFFu;
    graph.Draw(color, GraphSeries{}, true);
    const int base = graph.PlotY(std::max(0.0, yRange_.GetMin()));
    for (int i = 0; i < n; ++i) {
        const metrics::DayLightIntegral& d = days_[static_cast<std::size_t>(i)];
        const int left = graph.PlotX(DayX(i) - 0.4 * span);
        const int right = std::max(left + 1, graph.PlotX(DayX(i) + 0.4 * span));
        const int top = graph.PlotY(d.dli);
        const SurfaceRect bar{left, std::min(top, base), right, std::max(top, base) + 1};
        // A day with gaps is outlined only: its integral is a lower bound.
        if (d.complete) surface.FillRect(bar, color);
        else surface.FrameRect(bar, color);
    }
    CTextOut axis(&surface, 10, 0);
    axis.DrawText(plot_.left - 45, (plot_.top + plot_.bottom) / 2, S(KindLabel()), TextAlign::kCenter | TextAlign::kTop, 900);
    axis.DrawText(plot_.left, plot_.bottom + 5, TimeText(days_.front().midnight, "%Y/%m/%d"), TextAlign::kLeft | TextAlign::kTop, 0);
    axis.DrawText(plot_.right, plot_.bottom + 5, TimeText(days_.back().midnight, "%Y/%m/%d"), TextAlign::kRight | TextAlign::kTop, 0);
}

int CNumericalGraphPicture::PickDay(int x, int& column) const {
    if (days_.empty() || plot_.right <= plot_.left) return -1;
    const CDRangeMap map(dayRange_.GetMin(), dayRange_.GetMax(), plot_.left, plot_.right);
    int best = -1;
    double bestDistance = 0;
    for (int i = 0; i < static_cast<int>(days_.size()); ++i) {
        const double c = map.Map(DayX(i));
        if (best < 0 || std::abs(c - x) < bestDistance) {
            best = i;
            bestDistance = std::abs(c - x);
            column = static_cast<int>(c);
        }
    }
    return best;
}

bool CNumericalGraphPicture::DrawDayReadOut(Surface& surface, int x) {
    int cx = 0;
    const int i = PickDay(x, cx);
    if (i < 0) return false;
    const metrics::DayLightIntegral& d = days_[static_cast<std::size_t>(i)];
    const double barWidth = 0.8 * (plot_.right - plot_.left) / (dayRange_.GetMax() - dayRange_.GetMin()) * DaySpan();
    surface.SetClipRect(plot_);
    const RasterOp oldOp = surface.SetRasterOp(RasterOp::Xor);
    const SurfacePen oldPen = surface.SelectPen({PenStyle::Solid, std::max(2, static_cast<int>(barWidth)), kBandColor, PenCap::Flat});
    surface.Line(cx, plot_.top, cx, plot_.bottom);
    surface.SelectPen(oldPen);
    surface.SetRasterOp(oldOp);
    surface.ClearClip();
    CTextOut text(&surface, 10, 0);
    const unsigned align = (cx > (plot_.left + plot_.right) / 2 ? TextAlign::kRight : TextAlign::kLeft) | TextAlign::kTop;
    text.DrawText(cx, plot_.top + 10, "[" + S(ids::kSelectedPositionInfo) + "]", align, 0);
    text.DrawText(cx, plot_.top + 25, S(ids::kTime) + platform::FormatLocal(d.midnight, " : %Y/%m/%d"), align, 0);
    text.DrawText(cx, plot_.top + 40, S(KindLabel()) + " : " + platform::FormatG(d.dli), align, 0);
    if (!d.complete) text.DrawText(cx, plot_.top + 55, FormatText(S(ids::kDliIncompleteDay), {d.hours}), align, 0);
    return true;
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
    if (Kind() == CNumericalGraphPrm::kKindDli) return DrawDayReadOut(surface, x);
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
