#include "render/DataGraphPicture.h"

#include <algorithm>
#include <cmath>

#include "core/graph/DataGraph.h"
#include "core/graph/TextOut.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "render/QtSurfaceImage.h"
#include "render/AxisCommands.h"

namespace {

const std::string& S(int id) { return platform::LoadString(id); }

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

// A quotient the picture can show: a non-finite one reads as 0, as the ratio series does.
float FiniteOrZero(double v) { return std::isfinite(v) ? static_cast<float>(v) : 0.0f; }

}  // namespace

std::string FormatText(const std::string& format, const std::vector<FormatArg>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const char f = format[++i];
        if (f == '%') {
            out += '%';
            continue;
        }
        const FormatArg* a = next < args.size() ? &args[next] : nullptr;
        ++next;
        if (!a) continue;
        switch (f) {
            case 's':
                if (a->kind == FormatArg::Kind::Text) out += a->text;
                else if (a->kind == FormatArg::Kind::Int) out += std::to_string(a->i);
                else out += platform::FormatG(a->d);
                break;
            case 'd':
            case 'u':
                out += std::to_string(a->kind == FormatArg::Kind::Real ? static_cast<long long>(a->d) : a->i);
                break;
            case 'g':
                out += platform::FormatG(a->kind == FormatArg::Kind::Int ? static_cast<double>(a->i) : a->d);
                break;
            default:
                out += '%';
                out += f;
                break;
        }
    }
    return out;
}

CDataGraphPicture::CDataGraphPicture() = default;
CDataGraphPicture::~CDataGraphPicture() = default;

int DrawableNm(const CPrmFloat& value) {
    constexpr double kLow = 350.0, kHigh = 1050.0;
    double v = value.Get();
    if (std::isnan(v)) v = value.GetDefault();
    if (std::isnan(v)) v = kLow;
    return static_cast<int>(std::clamp(v, kLow, kHigh));
}

bool CDataGraphPicture::LoadSettings() { return prm_.Load(); }

void CDataGraphPicture::ResetReadOut() {
    readOut_ = false;
    cursorValues_.assign(records_.size(), 0.0f);
}

void CDataGraphPicture::SetSingle(int mode, const CSpectrumData& record, const CSpectrumData* standard) {
    mode_ = mode;
    records_.assign(1, record);
    prm_.m_SHOW_MEASURED_DATA = 1;
    standardPresent_ = standard != nullptr;
    if (standard) standard_ = *standard;
    ResetReadOut();
}

void CDataGraphPicture::ShowMeasured(const CSpectrumData& record, const CSpectrumData* standard) {
    SetSingle(kModeMeasured, record, standard);
}

void CDataGraphPicture::ShowLatest(const CSpectrumData& record, const CSpectrumData* standard) {
    SetSingle(kModeLatest, record, standard);
}

void CDataGraphPicture::ShowStandard(const CSpectrumData& record) { SetSingle(kModeStandard, record, nullptr); }

void CDataGraphPicture::ShowPlural(const std::vector<CSpectrumData>& records, const CSpectrumData* standard) {
    mode_ = kModePlural;
    // Only ten slots have keys; the main dialog refuses more, so a longer list is cut here.
    const std::size_t n = std::min<std::size_t>(records.size(), CDataGraphPrm::kPluralCount);
    records_.assign(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t i = 0; i < n; ++i) prm_.m_SHOW_DATA[i] = 1;
    standardPresent_ = standard != nullptr;
    if (standard) standard_ = *standard;
    else prm_.m_SHOW_KIND = 0;
    ResetReadOut();
}

std::string CDataGraphPicture::Title() const {
    if (mode_ == kModePlural) {
        int label = ids::kMeasuredData;
        if (prm_.m_SHOW_KIND.Get() == 1) label = ids::kRatioData;
        else if (prm_.m_SHOW_KIND.Get() == 2) label = ids::kDifferenceData;
        return FormatText(S(label) + S(ids::kTitlePluralData), {"", ""});
    }
    int format = ids::kTitleMeasuredData;
    if (mode_ == kModeLatest) format = ids::kTitleTrendData;
    else if (mode_ == kModeStandard) format = ids::kTitleStandardData;
    const std::string memo = records_.empty() ? std::string() : platform::ToDisplayText(records_.front().GetMemo());
    return FormatText(S(format), {"", memo});
}

void CDataGraphPicture::BuildSeries(std::vector<Series>& left, std::vector<Series>& right) const {
    const double min = prm_.m_RANGE_MIN_X.Get();
    const double max = prm_.m_RANGE_MAX_X.Get();
    const int unit = Unit();
    auto add = [](std::vector<Series>& list, std::uint32_t color) -> GraphSeries& {
        list.push_back(Series{{}, color});
        return list.back().points;
    };
    const auto color = [](const CPrmInt& v) { return static_cast<std::uint32_t>(v.Get()) & 0xFFFFFFu; };
    if (mode_ == kModePlural) {
        const int kind = prm_.m_SHOW_KIND.Get();
        for (std::size_t i = 0; i < records_.size(); ++i) {
            if (!prm_.m_SHOW_DATA[i].Get()) continue;
            const std::uint32_t c = color(prm_.m_DATA_COLOR[i]);
            if (kind == 1 && standardPresent_) records_[i].RatioPercentSeries(min, max, unit, standard_, add(right, c));
            else if (kind == 2 && standardPresent_) records_[i].DifferenceSeries(min, max, unit, standard_, add(left, c));
            else records_[i].SpectrumSeries(min, max, unit, add(left, c));
        }
        if (standardPresent_ && prm_.m_SHOW_BASE_DATA.Get())
            standard_.SpectrumSeries(min, max, unit, add(left, color(prm_.m_BASE_DATA_COLOR)));
        return;
    }
    if (records_.empty()) return;
    const CSpectrumData& record = records_.front();
    if (prm_.m_SHOW_MEASURED_DATA.Get()) record.SpectrumSeries(min, max, unit, add(left, color(prm_.m_MEASURED_DATA_COLOR)));
    if (!standardPresent_) return;
    if (prm_.m_SHOW_BASE_DATA.Get()) standard_.SpectrumSeries(min, max, unit, add(left, color(prm_.m_BASE_DATA_COLOR)));
    if (prm_.m_SHOW_DIFFERENCE_DATA.Get())
        record.DifferenceSeries(min, max, unit, standard_, add(left, color(prm_.m_DIFFERENCE_DATA_COLOR)));
    if (prm_.m_SHOW_RATIO_DATA.Get())
        record.RatioPercentSeries(min, max, unit, standard_, add(right, color(prm_.m_RATIO_DATA_COLOR)));
}

void CDataGraphPicture::DrawGraph(Surface& surface) {
    const int width = surface.Width();
    const int height = surface.Height();
    surface.FillRect({0, 0, width, height}, kWhite);
    // Text and the room around the plot follow the picture's size.
    const double k = CTextOut::LayoutScale(width, height);
    auto px = [k](int pixels) { return CTextOut::Scaled(pixels, k); };

    CTextOut title(&surface, px(14), kBlack);
    const std::string titleText = Title();
    title.DrawText(width / 2, 10, titleText, TextAlign::kCenter | TextAlign::kTop, 0);
    const int titleBottom = title.TextExtent(titleText, 0).cy + px(20);

    int u = 0;
    if (mode_ != kModePlural && !records_.empty()) {
        CSpectrumData& r = records_.front();
        std::vector<std::string> lines;
        if (!r.HasExplicitWavelengths())
            lines.push_back(FormatText(S(ids::kInfoMeasurement),
                                       {r.FormatTime("%Y/%m/%d %H:%M:%S"), r.GetExposureTime(), r.GetTemperature()}));
        if (prm_.m_SHOW_LAT_LON_ALTITUDE.Get())
            lines.push_back(FormatText(S(ids::kInfoPosition), {r.GetLongitude(), r.GetLatitude(), r.GetAltitude()}));
        if (prm_.m_SHOW_PAR_PTM_LUX.Get())
            lines.push_back(FormatText(S(ids::kInfoParPhotonLux), {r.GetPar(), r.GetPhoton(), r.GetLux()}));
        if (prm_.m_SHOW_UV.Get()) lines.push_back(FormatText(S(ids::kInfoUv), {r.GetUvA(), r.GetUvB()}));
        if (prm_.m_SHOW_INTEGRATION.Get()) {
            const int from = DrawableNm(prm_.m_RANGE_MIN_INTEGRATION);
            const int to = DrawableNm(prm_.m_RANGE_MAX_INTEGRATION);
            lines.push_back(FormatText(S(ids::kInfoIntegration), {r.Integrate(from, to), from, to}));
        }
        for (const std::string& line : lines) {
            // A long line gets a smaller font rather than running off a narrow picture.
            int size = px(12);
            while (size > 6 && CTextOut(&surface, size, kBlack).TextExtent(line, 0).cx > width - px(50) - 2) --size;
            CTextOut info(&surface, size, kBlack);
            info.DrawText(px(50), height - u - px(5), line, TextAlign::kLeft | TextAlign::kBottom, 0);
            u += info.TextExtent(line, 0).cy + px(5);
        }
    }

    plot_ = {px(50), titleBottom, width - px(50), height - u - px(30)};
    CDataGraph graph(&surface, plot_, kPlotBackground, prm_.m_SHOW_GRID.Get() != 0, prm_.m_SHOW_MARKER.Get() != 0);
    graph.SetLabelHeight(px(graph_style::kLabelHeight));
    std::vector<Series> left, right;
    BuildSeries(left, right);
    graph.SetXRange(prm_.m_RANGE_MIN_X.Get(), prm_.m_RANGE_MAX_X.Get());

    CTextOut axis(&surface, px(10), kBlack);
    const int midY = (plot_.top + plot_.bottom) / 2;
    auto rangeFrom = [&graph](const std::vector<Series>& list) {
        std::vector<const GraphSeries*> ptrs;
        for (const Series& s : list) ptrs.push_back(&s.points);
        graph.SetYRangeFromSeriesList(ptrs);
    };
    if (!left.empty()) {
        axis.DrawText(plot_.left - px(45), midY, S(Unit() == 0 ? ids::kIrradianceWm2Um : ids::kIrradianceUmolM2SUm),
                      TextAlign::kCenter | TextAlign::kTop, 900);
        if (prm_.m_RANGE_AUTO_Y.Get()) rangeFrom(left);
        else graph.SetYRange(prm_.m_RANGE_MIN_Y.Get(), prm_.m_RANGE_MAX_Y.Get());
        bool first = true;
        for (const Series& s : left) {
            graph.Draw(s.color, s.points, first);
            first = false;
        }
    }
    if (!right.empty()) {
        if (prm_.m_RANGE_AUTO_RATIO.Get()) rangeFrom(right);
        else graph.SetYRange(prm_.m_RANGE_MIN_RATIO.Get(), prm_.m_RANGE_MAX_RATIO.Get());
        bool first = left.empty();
        if (first) {
            axis.DrawText(plot_.left - px(45), midY, S(ids::kRatioPercent), TextAlign::kCenter | TextAlign::kTop, 900);
        } else {
            graph.DrawRightAxis();
            axis.DrawText(plot_.right + px(40), midY, S(ids::kRatioPercent), TextAlign::kCenter | TextAlign::kBottom, 900);
        }
        for (const Series& s : right) {
            graph.Draw(s.color, s.points, first);
            first = false;
        }
    }
    axis.DrawText((plot_.left + plot_.right) / 2, plot_.bottom + px(16), S(ids::kWavelengthNm),
                  TextAlign::kCenter | TextAlign::kTop, 0);
}

std::vector<CDataGraphPicture::LegendLine> CDataGraphPicture::LegendLines(bool readOut) {
    std::vector<LegendLine> lines;
    const std::string unitLabel = S(Unit() == 0 ? ids::kUnitWm2Um : ids::kUnitUmolM2SUm);
    const std::string& valueFormat = S(ids::kReadoutValue);
    auto stamp = [](const CSpectrumData& r) {
        std::string s;
        if (!r.HasExplicitWavelengths()) s = r.FormatTime(": %Y/%m/%d-%H:%M:%S ");
        return s + platform::ToDisplayText(r.GetMemo());
    };
    const std::string recordLabel = S(mode_ == kModeStandard ? ids::kStandardDataLegend : ids::kMeasuredData);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const bool shown = mode_ == kModePlural ? prm_.m_SHOW_DATA[i].Get() != 0 : prm_.m_SHOW_MEASURED_DATA.Get() != 0;
        if (!shown) continue;
        const std::uint32_t color = static_cast<std::uint32_t>(
            (mode_ == kModePlural ? prm_.m_DATA_COLOR[i] : prm_.m_MEASURED_DATA_COLOR).Get()) & 0xFFFFFFu;
        const float v = i < cursorValues_.size() ? cursorValues_[i] : 0.0f;
        lines.push_back({color, recordLabel + (readOut ? FormatText(valueFormat, {unitLabel, v}) : stamp(records_[i]))});
    }
    if (standardPresent_ && prm_.m_SHOW_BASE_DATA.Get())
        lines.push_back({static_cast<std::uint32_t>(prm_.m_BASE_DATA_COLOR.Get()) & 0xFFFFFFu,
                         S(ids::kStandardDataLegend) +
                             (readOut ? FormatText(valueFormat, {unitLabel, cursorStandard_}) : stamp(standard_))});
    if (mode_ != kModePlural && standardPresent_) {
        if (prm_.m_SHOW_DIFFERENCE_DATA.Get())
            lines.push_back({static_cast<std::uint32_t>(prm_.m_DIFFERENCE_DATA_COLOR.Get()) & 0xFFFFFFu,
                             S(ids::kDifferenceData) +
                                 (readOut ? FormatText(valueFormat, {unitLabel, cursorDifference_}) : std::string())});
        if (prm_.m_SHOW_RATIO_DATA.Get())
            lines.push_back({static_cast<std::uint32_t>(prm_.m_RATIO_DATA_COLOR.Get()) & 0xFFFFFFu,
                             S(ids::kRatioData) +
                                 (readOut ? FormatText(S(ids::kReadoutRatio), {cursorRatio_}) : std::string())});
    }
    return lines;
}

SurfaceSize CDataGraphPicture::DrawLegend(Surface& surface, int x, int y, bool readOut) {
    const std::vector<LegendLine> lines = LegendLines(readOut);
    const double k = CTextOut::LayoutScale(surface.Width(), surface.Height());
    auto px = [k](int pixels) { return CTextOut::Scaled(pixels, k); };
    CTextOut text(&surface, px(10), kBlack);
    // First the size, so the white box can go down before the lines.
    int w = 0;
    int h = 0;
    std::string head;
    if (readOut) {
        head = FormatText(S(ids::kReadoutValue), {S(ids::kWavelengthNm), cursorWavelength_});
        const SurfaceSize e = text.TextExtent(head, 0);
        w = e.cx;
        h = e.cy + px(20);
    } else {
        h = px(15);
    }
    std::vector<SurfaceSize> extents;
    for (const LegendLine& line : lines) {
        extents.push_back(text.TextExtent(line.text, 0));
        w = std::max(w, extents.back().cx);
    }
    int total = h;
    for (const SurfaceSize& e : extents) total += e.cy + px(5);
    const SurfaceSize size{w + px(25), total};

    surface.FillRect({x, y, x + size.cx, y + size.cy}, kWhite);
    if (readOut) text.DrawText(x + px(20), y + px(19), head, TextAlign::kLeft | TextAlign::kBaseline, 0);
    int row = h;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const SurfacePen old = surface.SelectPen({PenStyle::Solid, 1, lines[i].color});
        surface.Line(x + px(5), y + row, x + px(18), y + row);
        surface.SelectPen(old);
        text.DrawText(x + px(20), y + row + px(4), lines[i].text, TextAlign::kLeft | TextAlign::kBaseline, 0);
        row += extents[i].cy + px(5);
    }
    surface.FrameRect({x, y, x + size.cx, y + size.cy}, kBlack);
    legendSize_ = size;
    return size;
}

bool CDataGraphPicture::Render(int width, int height) {
    std::unique_ptr<QtSurfaceImage> graph = QtSurfaceImage::Create(width, height);
    if (!graph) return false;
    DrawGraph(*graph);
    RgbImage pixels;
    if (!graph->ReadPixels(pixels)) return false;
    graphPixels_ = std::move(pixels);
    return Compose();
}

bool CDataGraphPicture::Compose() {
    if (!graphPixels_.Valid()) return false;
    if (!display_ || display_->Width() != graphPixels_.width || display_->Height() != graphPixels_.height) {
        std::unique_ptr<QtSurfaceImage> d = QtSurfaceImage::Create(graphPixels_.width, graphPixels_.height);
        if (!d) return false;
        display_ = std::move(d);
    }
    display_->BlockCopy(0, 0, graphPixels_, 0, 0, graphPixels_.width, graphPixels_.height);
    if (legendPos_.x == kNotPlaced) legendPos_ = {plot_.left + 4, plot_.top + 4};
    // The legend stays whole inside the picture when the window shrinks or the drag goes too far;
    // its size is known once drawn, so a legend that grew is drawn again where it fits.
    for (int pass = 0; pass < 2; ++pass) {
        const SurfacePoint kept = legendPos_;
        legendPos_.x = std::max(0, std::min(legendPos_.x, display_->Width() - legendSize_.cx));
        legendPos_.y = std::max(0, std::min(legendPos_.y, display_->Height() - legendSize_.cy));
        if (pass == 1 && legendPos_ == kept) break;
        if (pass == 1) display_->BlockCopy(0, 0, graphPixels_, 0, 0, graphPixels_.width, graphPixels_.height);
        // The legend is drawn within a client-sized box, as its own bitmap would cut it.
        display_->SetClipRect({legendPos_.x, legendPos_.y, legendPos_.x + display_->Width(), legendPos_.y + display_->Height()});
        DrawLegend(*display_, legendPos_.x, legendPos_.y, readOut_);
        display_->ClearClip();
    }
    if (readOut_) {
        const RasterOp oldOp = display_->SetRasterOp(RasterOp::Xor);
        const SurfacePen oldPen = display_->SelectPen({PenStyle::Solid, 1, kWhite});
        display_->Line(cursorX_, plot_.top, cursorX_, plot_.bottom);
        display_->SelectPen(oldPen);
        display_->SetRasterOp(oldOp);
    }
    return true;
}

bool CDataGraphPicture::DisplayPixels(RgbImage& out) const { return display_ && display_->ReadPixels(out); }

bool CDataGraphPicture::InLegend(int x, int y) const {
    return x >= legendPos_.x && x < legendPos_.x + legendSize_.cx && y >= legendPos_.y &&
           y < legendPos_.y + legendSize_.cy;
}

bool CDataGraphPicture::InPlot(int x, int y) const {
    return x >= plot_.left && x < plot_.right && y >= plot_.top && y < plot_.bottom;
}

bool CDataGraphPicture::ReadOutAt(int x) {
    if (records_.empty() || plot_.right <= plot_.left) return false;
    const double minX = prm_.m_RANGE_MIN_X.Get();
    const double maxX = prm_.m_RANGE_MAX_X.Get();
    const double wl = CDRangeMap(plot_.left, plot_.right, minX, maxX).Map(x);
    const CSpectrumData& first = records_.front();
    const int index = first.NearestIndex(static_cast<float>(wl));
    const float m = first.Wavelength(index);
    if (maxX != minX) {
        const double px = CDRangeMap(minX, maxX, plot_.left, plot_.right).Map(m);
        cursorX_ = std::isfinite(px) ? static_cast<int>(std::clamp(px, -1e6, 1e6)) : plot_.left;
    } else {
        cursorX_ = x;
    }
    const int unit = Unit();
    const float t = standardPresent_ ? standard_.IrradianceAt(m, unit) : 0.0f;
    const int kind = prm_.m_SHOW_KIND.Get();
    cursorValues_.assign(records_.size(), 0.0f);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const float v = records_[i].IrradianceAt(m, unit);
        float value = v;
        if (mode_ == kModePlural && standardPresent_ && kind == 1) value = FiniteOrZero(static_cast<double>(v) * 100.0 / t);
        else if (mode_ == kModePlural && standardPresent_ && kind == 2) value = v - t;
        cursorValues_[i] = value;
    }
    if (standardPresent_ && prm_.m_SHOW_BASE_DATA.Get()) cursorStandard_ = t;
    if (mode_ != kModePlural && standardPresent_) {
        const float f = first.IrradianceAt(m, unit);
        if (prm_.m_SHOW_DIFFERENCE_DATA.Get()) cursorDifference_ = f - t;
        if (prm_.m_SHOW_RATIO_DATA.Get()) cursorRatio_ = FiniteOrZero(static_cast<double>(f) * 100.0 / t);
    }
    cursorWavelength_ = m;
    readOut_ = true;
    return Compose();
}

bool CDataGraphPicture::EndReadOut() {
    readOut_ = false;
    return Compose();
}

bool CDataGraphPicture::IrradianceAdjustable() const {
    if (prm_.m_RANGE_AUTO_Y.Get()) return false;
    if (mode_ == kModePlural) return prm_.m_SHOW_KIND.Get() != 1;
    return prm_.m_SHOW_MEASURED_DATA.Get() ||
           (standardPresent_ && (prm_.m_SHOW_DIFFERENCE_DATA.Get() || prm_.m_SHOW_BASE_DATA.Get()));
}

bool CDataGraphPicture::RatioAdjustable() const {
    if (prm_.m_RANGE_AUTO_RATIO.Get()) return false;
    if (mode_ == kModePlural) return prm_.m_SHOW_KIND.Get() == 1;
    if (mode_ == kModeStandard) return false;
    return standardPresent_ && prm_.m_SHOW_RATIO_DATA.Get();
}

bool CDataGraphPicture::Enabled(GraphCommand command) const {
    switch (command) {
        case GraphCommand::Previous:
        case GraphCommand::Next: return mode_ == kModeMeasured;
        case GraphCommand::YZoomIn:
        case GraphCommand::YZoomOut:
        case GraphCommand::YShiftUp:
        case GraphCommand::YShiftDown: return IrradianceAdjustable();
        case GraphCommand::RatioZoomIn:
        case GraphCommand::RatioZoomOut:
        case GraphCommand::RatioShiftUp:
        case GraphCommand::RatioShiftDown: return RatioAdjustable();
        case GraphCommand::PlotMeasured:
        case GraphCommand::ShowParPhotonLux:
        case GraphCommand::ShowIntegration: return mode_ != kModePlural;
        case GraphCommand::PlotStandard: return standardPresent_;
        case GraphCommand::PlotDifference:
        case GraphCommand::ShowRatio: return standardPresent_ && mode_ != kModePlural;
        case GraphCommand::ShowUv: return false;
        default: return true;
    }
}

bool CDataGraphPicture::Checked(GraphCommand command) const {
    switch (command) {
        case GraphCommand::PlotMeasured: return prm_.m_SHOW_MEASURED_DATA.Get() != 0;
        case GraphCommand::PlotStandard: return standardPresent_ && prm_.m_SHOW_BASE_DATA.Get();
        case GraphCommand::PlotDifference: return standardPresent_ && prm_.m_SHOW_DIFFERENCE_DATA.Get();
        case GraphCommand::ShowRatio: return standardPresent_ && prm_.m_SHOW_RATIO_DATA.Get();
        case GraphCommand::ShowParPhotonLux: return prm_.m_SHOW_PAR_PTM_LUX.Get() != 0;
        case GraphCommand::ShowIntegration: return prm_.m_SHOW_INTEGRATION.Get() != 0;
        default: return false;
    }
}

bool CDataGraphPicture::ToggleSeries(GraphCommand command) {
    CPrmInt* keys[4] = {&prm_.m_SHOW_MEASURED_DATA, &prm_.m_SHOW_BASE_DATA, &prm_.m_SHOW_DIFFERENCE_DATA,
                        &prm_.m_SHOW_RATIO_DATA};
    const int which = static_cast<int>(command) - static_cast<int>(GraphCommand::PlotMeasured);
    bool othersSet = false;
    for (int k = 0; k < 4; ++k)
        if (k != which && keys[k]->Get()) othersSet = true;
    if (which == 0 && !standardPresent_) othersSet = false;
    // Several records: what else is visible are the records' own curves.
    if (mode_ == kModePlural && which == 1) {
        othersSet = false;
        for (std::size_t i = 0; i < records_.size(); ++i)
            if (prm_.m_SHOW_DATA[i].Get()) othersSet = true;
    }
    if (!othersSet) return false;
    *keys[which] = keys[which]->Get() ? 0 : 1;
    return true;
}

bool CDataGraphPicture::Execute(GraphCommand command) {
    if (!Enabled(command)) return false;
    if (axiscommands::Apply<CDataGraphPicture>(command, prm_)) return true;
    switch (command) {
        case GraphCommand::PlotMeasured:
        case GraphCommand::PlotStandard:
        case GraphCommand::PlotDifference:
        case GraphCommand::ShowRatio: return ToggleSeries(command);
        case GraphCommand::ShowParPhotonLux: prm_.m_SHOW_PAR_PTM_LUX = prm_.m_SHOW_PAR_PTM_LUX.Get() ? 0 : 1; return true;
        case GraphCommand::ShowIntegration: prm_.m_SHOW_INTEGRATION = prm_.m_SHOW_INTEGRATION.Get() ? 0 : 1; return true;
        default: return false;
    }
}
