#include "render/3DGraphPicture.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <limits>

#include "core/graph/Scale.h"
#include "core/graph/TextOut.h"
#include "core/platform/LocalTime.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "render/AxisCommands.h"
#include "render/QtSurfaceImage.h"
#include "render/3DProjection.h"
#include "render/DataGraphPicture.h"

namespace {

const std::string& S(int id) { return platform::LoadString(id); }

constexpr double kPi = 3.14159265358979323846;
constexpr double kCoordinateLimit = 1 << 28;
constexpr int kTickCount = 7;
constexpr int kRibbonHalfWidth = 5;

// Truncation to a logical coordinate; whatever the numbers did, the painter gets a finite one.
int Trunc(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

SurfacePoint ToPoint(const C3DProjected& p) { return {Trunc(p.u), Trunc(p.v)}; }

// A range a linear map can use: finite bounds that differ.
void MakeUsable(double& lo, double& hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0;
        hi = 100;
    }
    if (lo == hi) {
        lo -= 0.5;
        hi += 0.5;
    }
}

// The labels, drawn in pixels at points of the box: they stay readable however far the box had to
// be shrunk to fit. Each goes inside the picture and clear of those placed before it, moved along
// its step until it is.
class LabelPlacer {
public:
    LabelPlacer(Surface& surface, int fontHeight, std::vector<SurfaceRect>& placed)
        : surface_(surface), text_(&surface, fontHeight, 0), placed_(placed) {}

    void Place(SurfacePoint logical, int dx, int dy, const std::string& text, unsigned align, int escapement,
               int stepX, int stepY) {
        const SurfacePoint device = surface_.ToDevice(logical);
        const Surface::Mapping kept = surface_.SaveMapping();
        surface_.RestoreMapping(Surface::Mapping{});
        SurfacePoint at{device.x + dx, device.y + dy};
        const SurfaceSize e = text_.TextExtent(text, 0);
        SurfaceRect r = Box(at, e, align, escapement);
        for (int tries = 0; tries < 40 && Collides(r) && (stepX != 0 || stepY != 0); ++tries) {
            at = {at.x + stepX, at.y + stepY};
            r = Box(at, e, align, escapement);
        }
        // Inside the picture comes first.
        at = {at.x + Into(r.left, r.right, surface_.Width()), at.y + Into(r.top, r.bottom, surface_.Height())};
        r = Box(at, e, align, escapement);
        text_.DrawText(at.x, at.y, text, align, escapement);
        placed_.push_back(r);
        surface_.RestoreMapping(kept);
    }

private:
    // The shift that brings lo .. hi into 0 .. size (its start first, when it is too long).
    static int Into(int lo, int hi, int size) {
        if (lo < 0) return -lo;
        if (hi > size) return std::max(-lo, size - hi);
        return 0;
    }
    // The device box of text of extent e (unturned) at a point with an alignment; turned a quarter
    // counter-clockwise (900) the text runs upwards with its foot to the right.
    static SurfaceRect Box(SurfacePoint at, SurfaceSize e, unsigned align, int escapement) {
        int along0 = 0;  // where the text starts along its baseline, from at
        switch (align & TextAlign::kHorizontalMask) {
            case TextAlign::kRight: along0 = -e.cx; break;
            case TextAlign::kCenter: along0 = -e.cx / 2; break;
            default: break;
        }
        int across0 = 0;  // the top of the text, downwards in its own frame
        switch (align & TextAlign::kVerticalMask) {
            case TextAlign::kBottom: across0 = -e.cy; break;
            case TextAlign::kBaseline: across0 = -e.cy * 3 / 4; break;
            default: break;
        }
        if (escapement == 900)
            return {at.x + across0, at.y - along0 - e.cx, at.x + across0 + e.cy, at.y - along0};
        return {at.x + along0, at.y + across0, at.x + along0 + e.cx, at.y + across0 + e.cy};
    }
    bool Collides(const SurfaceRect& r) const {
        for (const SurfaceRect& p : placed_)
            if (r.left < p.right && p.left < r.right && r.top < p.bottom && p.top < r.bottom) return true;
        return false;
    }

    Surface& surface_;
    CTextOut text_;
    std::vector<SurfaceRect>& placed_;
};

}  // namespace

C3DGraphPicture::C3DGraphPicture() = default;
C3DGraphPicture::~C3DGraphPicture() = default;

void C3DGraphPicture::SetData(const CSpectrumDataSet& records, const CSpectrumData* standard) {
    records_ = records;
    standardPresent_ = standard != nullptr;
    if (standard) {
        standard_ = *standard;
    } else {
        standard_ = CSpectrumData();
        prm_.m_SHOW_KIND = 0;
    }
    curvesValid_ = false;
}

int C3DGraphPicture::Kind() const {
    const int k = prm_.m_SHOW_KIND.Get();
    if (!standardPresent_ || k < 0 || k > 2) return 0;
    return k;
}

long long C3DGraphPicture::Depth(int n, int width, int height) {
    return std::min(static_cast<long long>(std::max(n - 1, 0)) * height / 10, static_cast<long long>(std::max(width, 1)));
}

int C3DGraphPicture::Stride(int n, long long depth) {
    if (n < 2 || depth <= 0) return 1;
    // Ribbons side by side: at least their width apart.
    const double spacing = static_cast<double>(depth) / (n - 1);
    return std::max(1, static_cast<int>(std::ceil(2.0 * kRibbonHalfWidth / spacing - 1e-9)));
}

double C3DGraphPicture::TimeOf(int index) const {
    if (prm_.m_TIME_AXIS_KIND.Get() != 0) return index + 1.0;
    return static_cast<double>(records_.At(index).Time);
}

void C3DGraphPicture::BuildCurves(int stride) {
    const SeriesKey key{Kind(), prm_.m_RANGE_MIN_X.Get(), prm_.m_RANGE_MAX_X.Get(), prm_.m_UNIT_Y.Get() != 0 ? 1 : 0,
                        stride};
    if (curvesValid_ && key == curvesKey_) return;
    const int n = records_.Count();
    curves_.resize(static_cast<std::size_t>(n));
    seriesAny_ = false;
    seriesMin_ = std::numeric_limits<double>::infinity();
    seriesMax_ = -seriesMin_;
    for (int i = 0; i < n; ++i) {
        GraphSeries& s = curves_[static_cast<std::size_t>(i)];
        // Records left out of the picture are not read.
        const std::shared_ptr<const CSpectrumData> r = i % stride == 0 ? records_.Record(i) : nullptr;
        if (!r) {
            s.Clear();  // no longer readable: an empty curve
            continue;
        }
        switch (key.kind) {
            case 1: r->RatioPercentSeries(key.minX, key.maxX, key.unit, standard_, s); break;
            case 2: r->DifferenceSeries(key.minX, key.maxX, key.unit, standard_, s); break;
            default: r->SpectrumSeries(key.minX, key.maxX, key.unit, s); break;
        }
        for (const auto& p : s.Points()) {
            // A value that is no number (a damaged record) takes no part in the automatic range.
            if (!std::isfinite(p.second)) continue;
            seriesAny_ = true;
            seriesMin_ = std::min(seriesMin_, p.second);
            seriesMax_ = std::max(seriesMax_, p.second);
        }
    }
    curvesKey_ = key;
    curvesValid_ = true;
}

void C3DGraphPicture::DrawGraph(Surface& surface) {
    const int width = surface.Width();
    const int height = surface.Height();
    const int left = 0, top = 0, right = width, bottom = height;
    surface.RestoreMapping(Surface::Mapping{});
    surface.FillRect({0, 0, width, height}, 0xFFFFFF);
    const int n = records_.Count();
    const int kind = Kind();
    const int kindLabel[3] = {ids::kMeasuredData, ids::kRatioData, ids::kDifferenceData};
    std::string title = S(kindLabel[kind]);
    if (n > 0)
        title += FormatText(S(ids::k3DTitleRange), {platform::FormatLocal(records_.At(0).Time, "%Y/%m/%d %H:%M:%S"),
                                                   platform::FormatLocal(records_.At(n - 1).Time, "%Y/%m/%d %H:%M:%S")});
    const long long depth = Depth(n, right - left, height);
    const int stride = Stride(n, depth);
    if (stride > 1) title += FormatText(S(ids::k3DEveryKthRecord), {std::to_string(stride)});
    // Text and the room around the box follow the picture's size.
    const double k = CTextOut::LayoutScale(width, height);
    auto px = [k](int pixels) { return CTextOut::Scaled(pixels, k); };
    CTextOut titleText(&surface, px(14), 0);
    titleText.DrawText(width / 2, px(10), title, TextAlign::kCenter | TextAlign::kTop, 0);
    const SurfaceSize titleSize = titleText.TextExtent(title, 0);
    layout_.labels.assign(1, {width / 2 - titleSize.cx / 2, px(10), width / 2 - titleSize.cx / 2 + titleSize.cx,
                              px(10) + titleSize.cy});
    if (n == 0) return;

    BuildCurves(stride);

    // Time axis.
    double t0 = 0, t1 = n + 1.0;
    if (prm_.m_TIME_AXIS_KIND.Get() == 0) {
        const long long first = records_.At(0).Time;
        const long long last = records_.At(n - 1).Time;
        const long long s = n > 1 ? (last - first) / (n - 1) : 0;
        t0 = static_cast<double>(first - s);
        t1 = static_cast<double>(last + s);
        // Records of one second have no span; a second either side keeps the axis defined.
        if (t0 == t1) {
            t0 -= 1;
            t1 += 1;
        }
    }

    // Value axis.
    const bool ratio = kind == 1;
    double lo = 0, hi = 0;
    if ((ratio && prm_.m_RANGE_AUTO_RATIO.Get()) || (!ratio && prm_.m_RANGE_AUTO_Y.Get())) {
        // Without a single point in the wavelength range the fixed range of the kind stands in.
        double a = ratio ? prm_.m_RANGE_MIN_RATIO.Get() : prm_.m_RANGE_MIN_Y.Get();
        double b = ratio ? prm_.m_RANGE_MAX_RATIO.Get() : prm_.m_RANGE_MAX_Y.Get();
        if (seriesAny_) {
            a = seriesMin_;
            b = seriesMax_;
        }
        CScale scale;
        scale.Compute(a, b, kTickCount, false);
        if (scale.Count() > 0) {
            lo = scale.At(0);
            hi = scale.At(scale.Count() - 1);
        } else {
            lo = a;
            hi = b;
        }
    } else {
        lo = ratio ? prm_.m_RANGE_MIN_RATIO.Get() : prm_.m_RANGE_MIN_Y.Get();
        hi = ratio ? prm_.m_RANGE_MAX_RATIO.Get() : prm_.m_RANGE_MAX_Y.Get();
    }
    MakeUsable(lo, hi);
    double x0 = prm_.m_RANGE_MIN_X.Get(), x1 = prm_.m_RANGE_MAX_X.Get();
    MakeUsable(x0, x1);

    // World coordinates: wavelength across the width, value over the height, time in depth.
    const double D = static_cast<double>(depth);
    const CDRangeMap mapX(x0, x1, left, right);
    const CDRangeMap mapZ(lo, hi, top, bottom);
    const CDRangeMap mapY(t0, t1, 0, D);

    double thetaDeg = prm_.m_ANGLE_THETA.Get(), phiDeg = prm_.m_ANGLE_PHI.Get();
    if (!std::isfinite(thetaDeg)) thetaDeg = 45;
    if (!std::isfinite(phiDeg)) phiDeg = 45;
    const C3DProjection projection(-thetaDeg * kPi / 180.0, phiDeg * kPi / 180.0, static_cast<double>(width) * 100.0);
    auto P = [&projection](double x, double y, double z) { return ToPoint(projection.Project(x, y, z)); };

    // Fit: the box's corners span the window; for angles of 0 .. 90 degrees the extreme corners are
    // (left, 0, bottom), (right, D, top), (left, D, bottom) and (right, 0, top), and any other angle
    // a stored file may hold still finds the box's true extent.
    int minU = 0, maxU = 0, minV = 0, maxV = 0;
    bool firstCorner = true;
    for (int cx = 0; cx < 2; ++cx)
        for (int cy = 0; cy < 2; ++cy)
            for (int cz = 0; cz < 2; ++cz) {
                const SurfacePoint c = P(cx ? right : left, cy ? D : 0, cz ? bottom : top);
                if (firstCorner) {
                    minU = maxU = c.x;
                    minV = maxV = c.y;
                    firstCorner = false;
                }
                minU = std::min(minU, c.x);
                maxU = std::max(maxU, c.x);
                minV = std::min(minV, c.y);
                maxV = std::max(maxV, c.y);
            }
    const int extU = std::max(1, maxU - minU);
    const int extV = std::min(-1, minV - maxV);
    // Room for the labels: the value title left of the box, the times and values right of it, the
    // wavelengths below it and the title above.
    CTextOut labelText(&surface, px(12), 0);
    const std::string firstTime = platform::FormatLocal(records_.At(0).Time, "%Y/%m/%d-%H:%M:%S");
    const std::string lastTime = platform::FormatLocal(records_.At(n - 1).Time, "%Y/%m/%d-%H:%M:%S");
    const int lineHeight = labelText.TextExtent("0", 0).cy;
    const int leftRoom = std::max(px(20), lineHeight + px(12));
    const int rightRoom = std::max(labelText.TextExtent(firstTime, 0).cx, labelText.TextExtent(lastTime, 0).cx) + px(10);
    const int topRoom = titleSize.cy + px(20);
    const int bottomRoom = lineHeight + px(12);
    const int wantX = std::max(1, width - leftRoom - rightRoom);
    const int wantY = std::max(1, height - topRoom - bottomRoom);
    surface.SetMapMode(MapMode::Isotropic);
    surface.SetWindowOrg(minU, minV);
    surface.SetWindowExt(extU, extV);
    surface.SetViewportExt(wantX, wantY);
    const SurfaceSize granted = surface.ViewportExt();
    surface.SetViewportOrg((wantX - granted.cx) / 2 + leftRoom, bottom - (wantY - granted.cy) / 2 - bottomRoom);
    LabelPlacer labels(surface, px(12), layout_.labels);
    layout_.depth = depth;
    layout_.stride = stride;
    layout_.t0 = t0;
    layout_.t1 = t1;
    layout_.lo = lo;
    layout_.hi = hi;
    layout_.windowOrg = surface.WindowOrg();
    layout_.windowExt = surface.WindowExt();
    layout_.viewportExt = granted;
    layout_.viewportOrg = surface.ViewportOrg();

    // Walls: the left side, the back and the floor.
    const SurfacePen oldPen = surface.SelectPen({PenStyle::Solid, 1, kGridColor});
    const SurfaceBrush oldBrush = surface.SelectBrush({false, kSideWallColor});
    surface.Polygon({P(left, 0, top), P(left, 0, bottom), P(left, D, bottom), P(left, D, top)});
    surface.Polygon({P(left, D, top), P(left, D, bottom), P(right, D, bottom), P(right, D, top)});
    surface.SelectBrush({false, kFloorColor});
    surface.Polygon({P(left, 0, top), P(left, D, top), P(right, D, top), P(right, 0, top)});
    surface.SelectBrush(oldBrush);

    // Value grid on the back and the left wall, with the tick values beside the back wall.
    surface.SelectPen({PenStyle::Dotted, 1, kGridColor});
    CScale grid;
    grid.Compute(lo, hi, kTickCount, false);
    for (std::size_t i = 1; i + 1 < grid.Count(); ++i) {
        const double z = mapZ.Map(grid.At(i));
        const SurfacePoint a = P(left, D, z), b = P(right, D, z);
        surface.Line(a.x, a.y, b.x, b.y);
        labels.Place(b, px(5), 0, platform::FormatG(grid.At(i)), TextAlign::kLeft | TextAlign::kBaseline, 0, 0, 0);
    }
    for (std::size_t i = 1; i + 1 < grid.Count(); ++i) {
        const double z = mapZ.Map(grid.At(i));
        const SurfacePoint a = P(left, D, z), b = P(left, 0, z);
        surface.Line(a.x, a.y, b.x, b.y);
    }

    // Axis titles and the wavelength range.
    const int valueTitle = ratio ? ids::kRatioPercent
                                 : (prm_.m_UNIT_Y.Get() != 0 ? ids::kIrradianceUmolM2SUm : ids::kIrradianceWm2Um);
    labels.Place(P(left, 0, (top + bottom) / 2.0), -px(8), 0, S(valueTitle), TextAlign::kCenter | TextAlign::kBottom,
                 900, -px(4), 0);
    char number[64];
    std::snprintf(number, sizeof number, "%.0f", static_cast<double>(prm_.m_RANGE_MIN_X.Get()));
    labels.Place(P(left, 0, top), 0, px(6), number, TextAlign::kLeft | TextAlign::kTop, 0, 0, px(4));
    std::snprintf(number, sizeof number, "%.0f", static_cast<double>(prm_.m_RANGE_MAX_X.Get()));
    labels.Place(P(right, 0, top), 0, px(6), number, TextAlign::kRight | TextAlign::kTop, 0, 0, px(4));
    // Below the front edge, off the floor the spectra stand on.
    labels.Place(P((left + right) / 2.0, 0, top), 0, px(6), S(ids::kWavelengthNm), TextAlign::kCenter | TextAlign::kTop,
                 0, 0, px(4));

    // A line across the floor and up the left wall at each drawn record's time.
    for (int i = 0; i < n; ++i) {
        if (i % stride != 0 && i != n - 1) continue;
        const double y = mapY.Map(TimeOf(i));
        const SurfacePoint a = P(right, y, top), b = P(left, y, top), c = P(left, y, bottom);
        surface.Polyline({a, b, c});
        if (i == 0 || i == n - 1)
            labels.Place(a, px(5), 0, i == 0 ? firstTime : lastTime, TextAlign::kLeft | TextAlign::kBaseline, 0, 0,
                         px(4));
    }

    // Each spectrum as a narrow ribbon with a cross line at every point.
    surface.SelectPen({PenStyle::Solid, 1, static_cast<std::uint32_t>(prm_.m_DATA_COLOR.Get()) & 0xFFFFFFu});
    std::vector<SurfacePoint> pa, pb, pc;
    for (int i = 0; i < n; i += stride) {
        const GraphSeries& s = curves_[static_cast<std::size_t>(i)];
        const double y = mapY.Map(TimeOf(i));
        pa.clear();
        pb.clear();
        pc.clear();
        for (const auto& point : s.Points()) {
            const double x = mapX.Map(point.first);
            double z = mapZ.Map(point.second);
            // Out of range is drawn at the edge; a value that is no number lies on the floor.
            z = std::isnan(z) ? top : std::clamp(z, static_cast<double>(top), static_cast<double>(bottom));
            pa.push_back(P(x, y, z));
            pb.push_back(P(x, y + kRibbonHalfWidth, z));
            pc.push_back(P(x, y - kRibbonHalfWidth, z));
            surface.Line(pb.back().x, pb.back().y, pc.back().x, pc.back().y);
        }
        surface.Polyline(pa);
        surface.Polyline(pb);
        surface.Polyline(pc);
    }
    surface.SelectPen(oldPen);
    surface.RestoreMapping(Surface::Mapping{});
}

bool C3DGraphPicture::Render(int width, int height) {
    std::unique_ptr<QtSurfaceImage> g = QtSurfaceImage::Create(width, height);
    if (!g) return false;
    DrawGraph(*g);
    graph_ = std::move(g);
    return true;
}

bool C3DGraphPicture::IrradianceAdjustable() const { return Kind() != 1 && prm_.m_RANGE_AUTO_Y.Get() == 0; }

bool C3DGraphPicture::RatioAdjustable() const { return Kind() == 1 && prm_.m_RANGE_AUTO_RATIO.Get() == 0; }

bool C3DGraphPicture::Enabled(GraphCommand command) const {
    switch (command) {
        case GraphCommand::YZoomIn:
        case GraphCommand::YZoomOut:
        case GraphCommand::YShiftUp:
        case GraphCommand::YShiftDown: return IrradianceAdjustable();
        case GraphCommand::RatioZoomIn:
        case GraphCommand::RatioZoomOut:
        case GraphCommand::RatioShiftUp:
        case GraphCommand::RatioShiftDown: return RatioAdjustable();
        default: return true;
    }
}

bool C3DGraphPicture::Execute(GraphCommand command) {
    return Enabled(command) && axiscommands::Apply<C3DGraphPicture>(command, prm_);
}

bool C3DGraphPicture::Turn(int dx, int dy) {
    auto turn = [](CPrmFloat& angle, int pixels, double lo, double hi) {
        const double before = std::isfinite(angle.Get()) ? angle.Get() : 45.0;
        const double after =
            std::clamp(before + pixels / kPixelsPerDegree, std::min(lo, before), std::max(hi, before));
        angle = static_cast<float>(after);
        return after != before;
    };
    const bool a = turn(prm_.m_ANGLE_THETA, dx, 0.0, 90.0);
    const bool b = turn(prm_.m_ANGLE_PHI, dy, kMinElevation, kMaxElevation);
    return a || b;
}
