#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "core/graph/DataGraph.h"
#include "core/graph/NumericalGraph.h"
#include "core/graph/RecordingSurface.h"
#include "core/graph/TextOut.h"
#include "core/platform/StringTable.h"

namespace {

using Kind = RecordedCall::Kind;
constexpr SurfaceRect kRect{60, 20, 660, 440};

GraphSeries Series(std::initializer_list<std::pair<double, double>> points) {
    GraphSeries s;
    for (const auto& p : points) s.Append(p.first, p.second);
    return s;
}

std::vector<std::string> TextsOf(const std::vector<RecordedCall>& calls) {
    std::vector<std::string> out;
    for (const RecordedCall& c : calls) out.push_back(c.text);
    return out;
}

// The series line: the only polyline drawn with a solid pen of the series colour.
std::vector<RecordedCall> CurveCalls(const RecordingSurface& s, std::uint32_t color) {
    std::vector<RecordedCall> out;
    for (const RecordedCall& c : s.CallsOf(Kind::Polyline)) {
        if (c.pen.style == PenStyle::Solid && c.pen.color == color) out.push_back(c);
    }
    return out;
}

class SpectrumAxis : public ::testing::Test {
protected:
    void Draw(bool grid, bool marker, const GraphSeries& series) {
        CDataGraph graph(&surface, kRect, 0xEBEBEB, grid, marker);
        graph.SetXRange(350, 1050);
        graph.SetYRangeSnapped(0, 100, true);
        graph.Draw(0x0000FF, series, true);
    }
    RecordingSurface surface{700, 500};
};

}  // namespace

TEST_F(SpectrumAxis, DrawsGridLinesAndLabelsAtTheTicks) {
    Draw(true, false, Series({{400, 10}, {700, 50}, {1000, 90}}));

    // The erase comes first, right and bottom edges exclusive.
    ASSERT_FALSE(surface.Calls().empty());
    EXPECT_EQ(surface.Calls().front().kind, Kind::FillRect);
    EXPECT_EQ(surface.Calls().front().rect, kRect);
    EXPECT_EQ(surface.Calls().front().color, 0xEBEBEBu);

    const std::vector<int> xs = {102, 188, 274, 360, 445, 531, 617};  // 400 .. 1000
    // Y ticks of 0 .. 120 run 0 .. 140: 120 is an inner tick on the top edge, 0 and 140 are dropped.
    const std::vector<int> ys = {370, 300, 230, 160, 90, 20};
    std::vector<RecordedCall> grid = surface.LinesWith(PenStyle::Dotted);
    ASSERT_EQ(grid.size(), xs.size() + ys.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
        EXPECT_EQ(grid[i].points[0], (SurfacePoint{xs[i], 20}));
        EXPECT_EQ(grid[i].points[1], (SurfacePoint{xs[i], 440}));
        EXPECT_EQ(grid[i].pen.color, 0x00FF00u);
    }
    for (std::size_t i = 0; i < ys.size(); ++i) {
        EXPECT_EQ(grid[xs.size() + i].points[0], (SurfacePoint{60, ys[i]}));
        EXPECT_EQ(grid[xs.size() + i].points[1], (SurfacePoint{660, ys[i]}));
    }

    // X labels below the plot, centred; Y labels right-aligned on the baseline, without 0 and 140.
    std::vector<RecordedCall> texts = surface.Texts();
    EXPECT_THAT(TextsOf(texts), ::testing::ElementsAre("400", "500", "600", "700", "800", "900", "1000", "20", "40",
                                                       "60", "80", "100", "120"));
    for (std::size_t i = 0; i < xs.size(); ++i) {
        EXPECT_EQ(texts[i].points[0], (SurfacePoint{xs[i], 445}));
        EXPECT_EQ(texts[i].align, TextAlign::kCenter | TextAlign::kTop);
    }
    for (std::size_t i = 0; i < ys.size(); ++i) {
        EXPECT_EQ(texts[xs.size() + i].points[0], (SurfacePoint{55, ys[i]}));
        EXPECT_EQ(texts[xs.size() + i].align, TextAlign::kRight | TextAlign::kBaseline);
    }
    for (const RecordedCall& t : texts) {
        EXPECT_EQ(t.font.pixelHeight, 9);
        EXPECT_EQ(t.color, 0u);
    }

    // The frame encloses the plot rectangle including its right and bottom edges.
    std::vector<RecordedCall> frames = surface.CallsOf(Kind::FrameRect);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].rect, (SurfaceRect{60, 20, 661, 441}));
    EXPECT_EQ(frames[0].color, 0x00FF00u);

    // The curve after the background, mapped and truncated.
    std::vector<RecordedCall> curve = CurveCalls(surface, 0x0000FF);
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_THAT(curve[0].points, ::testing::ElementsAre(SurfacePoint{102, 405}, SurfacePoint{360, 265},
                                                         SurfacePoint{617, 125}));
    EXPECT_EQ(surface.Pen(), SurfacePen{}) << "pens are restored";
}

TEST_F(SpectrumAxis, GridOffKeepsLabelsAndFrame) {
    Draw(false, false, Series({{500, 50}, {600, 60}}));
    EXPECT_TRUE(surface.LinesWith(PenStyle::Dotted).empty());
    EXPECT_EQ(surface.Texts().size(), 13u);
    EXPECT_EQ(surface.CallsOf(Kind::FrameRect).size(), 1u);
}

TEST_F(SpectrumAxis, OnePointDrawsNoLineButItsMarker) {
    Draw(true, true, Series({{700, 60}}));
    EXPECT_TRUE(CurveCalls(surface, 0x0000FF).empty());
    std::vector<RecordedCall> markers = surface.CallsOf(Kind::Ellipse);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].rect, (SurfaceRect{358, 228, 363, 233}));
    EXPECT_EQ(markers[0].pen.color, 0x0000FFu);
    EXPECT_EQ(markers[0].brush, SurfaceBrush{}) << "markers keep the surface's brush";
}

TEST_F(SpectrumAxis, MarkersSitOnTheClampedPoints) {
    Draw(true, true, Series({{350, 0}, {2000, 500}, {700, -50}}));
    std::vector<RecordedCall> markers = surface.CallsOf(Kind::Ellipse);
    ASSERT_EQ(markers.size(), 3u);
    EXPECT_EQ(markers[0].rect, (SurfaceRect{58, 438, 63, 443}));
    EXPECT_EQ(markers[1].rect, (SurfaceRect{658, 18, 663, 23}));
    EXPECT_EQ(markers[2].rect, (SurfaceRect{358, 438, 363, 443}));
}

TEST_F(SpectrumAxis, EmptySeriesDrawsAxesOnly) {
    Draw(true, true, GraphSeries{});
    EXPECT_TRUE(CurveCalls(surface, 0x0000FF).empty());
    EXPECT_TRUE(surface.CallsOf(Kind::Ellipse).empty());
    EXPECT_EQ(surface.Texts().size(), 13u);
}

TEST(LineGraph, OutOfRangeAndNonFinitePointsClampToTheEdges) {
    RecordingSurface surface;
    CLineGraph graph(&surface, kRect, 0xFFFFFF);
    graph.SetXRange(0, 10);
    graph.SetYRange(0, 10);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    graph.Draw(0xFF0000, Series({{5, 20}, {-5, 5}, {inf, -inf}, {nan, nan}, {1e300, -1e300}}), false);
    EXPECT_TRUE(surface.CallsOf(Kind::FillRect).empty()) << "no erase asked";
    std::vector<RecordedCall> curve = CurveCalls(surface, 0xFF0000);
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_THAT(curve[0].points, ::testing::ElementsAre(SurfacePoint{360, 20}, SurfacePoint{60, 230},
                                                         SurfacePoint{660, 440}, SurfacePoint{60, 440},
                                                         SurfacePoint{660, 440}));
}

TEST(LineGraph, DegenerateRangesNeitherCrashNorLeaveThePlot) {
    RecordingSurface surface;
    CDataGraph graph(&surface, kRect, 0xEBEBEB, true, true);
    graph.SetXRange(500, 500);
    graph.SetYRange(3, 3);
    graph.Draw(0xFF, Series({{500, 3}, {600, 4}}), true);
    for (const RecordedCall& c : surface.CallsOf(Kind::Polyline)) {
        for (const SurfacePoint& p : c.points) {
            EXPECT_GE(p.x, 60);
            EXPECT_LE(p.x, 660);
            EXPECT_GE(p.y, 20);
            EXPECT_LE(p.y, 440);
        }
    }
    EXPECT_EQ(surface.CallsOf(Kind::FrameRect).size(), 1u);
}

TEST(DataGraph, RangesFromDataAndSnapping) {
    RecordingSurface surface;
    CDataGraph graph(&surface, kRect, 0, true, false);
    graph.SetYRangeSnapped(0, 100, true);
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMin(), 0);
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMax(), 120);
    graph.SetYRangeSnapped(0, 100, false);
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMax(), 100);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    GraphSeries s = Series({{400, -3}, {500, nan}, {600, 7}});
    graph.SetXRangeFromData(s);
    EXPECT_DOUBLE_EQ(graph.GetXRange().GetMin(), 400);
    EXPECT_DOUBLE_EQ(graph.GetXRange().GetMax(), 600);
    graph.SetYRangeFromData(s);  // -3 .. 7 snapped, the NaN ignored
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMin(), -4);
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMax(), 8);

    std::vector<GraphSeries> list = {GraphSeries{}, Series({{1, 20}}), Series({{1, 5}, {2, 90}})};
    graph.SetYRangeFromSeriesList(list);
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMin(), 0);
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMax(), 100);
    graph.SetYRangeFromSeriesList(std::vector<GraphSeries>{});
    EXPECT_NEAR(graph.GetYRange().GetMin(), -0.6, 1e-12);
    EXPECT_NEAR(graph.GetYRange().GetMax(), 0.6, 1e-12);
}

TEST(DataGraph, NumericalGraphKeepsTheExactDataRange) {
    RecordingSurface surface;
    CNumericalGraph graph(&surface, kRect, 0, true, false);
    graph.SetYRangeFromData(Series({{0, 3}, {1, 7}}));
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMin(), 3);
    EXPECT_DOUBLE_EQ(graph.GetYRange().GetMax(), 7);
}

TEST(DataGraph, RightAxisMarksAndLabelsTheInnerTicks) {
    RecordingSurface surface;
    CDataGraph graph(&surface, kRect, 0, true, false);
    graph.SetXRange(350, 1050);
    graph.SetYRangeSnapped(0, 100, true);
    graph.DrawRightAxis();
    std::vector<RecordedCall> marks = surface.LinesWith(PenStyle::Solid);
    ASSERT_EQ(marks.size(), 6u);
    EXPECT_EQ(marks[0].points[0], (SurfacePoint{660, 370}));
    EXPECT_EQ(marks[0].points[1], (SurfacePoint{655, 370}));
    EXPECT_EQ(marks[0].pen.color, 0x00FF00u);
    std::vector<RecordedCall> texts = surface.Texts();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[4].text, "100");
    EXPECT_EQ(texts[4].points[0], (SurfacePoint{665, 90}));
    EXPECT_EQ(texts[4].align, TextAlign::kLeft | TextAlign::kBaseline);

    surface.Clear();
    CDataGraph noGrid(&surface, kRect, 0, false, false);
    noGrid.SetYRangeSnapped(0, 100, true);
    noGrid.DrawRightAxis();
    EXPECT_TRUE(surface.LinesWith(PenStyle::Solid).empty());
    EXPECT_EQ(surface.Texts().size(), 6u);
}

TEST(NumericalGraph, GridHasAVerticalLineAtEveryPointAndNoXLabels) {
    RecordingSurface surface;
    CNumericalGraph graph(&surface, kRect, 0xFFFFFF, true, true);
    graph.SetXRange(0, 100);
    graph.SetYRangeSnapped(0, 100, true);
    GraphSeries s = Series({{0, 10}, {50, 20}, {100, 30}});
    graph.Draw(0xFF00FF, s, true);
    std::vector<RecordedCall> grid = surface.LinesWith(PenStyle::Dotted);
    ASSERT_EQ(grid.size(), 3u + 6u);
    EXPECT_EQ(grid[0].points[0], (SurfacePoint{60, 20}));
    EXPECT_EQ(grid[1].points[0], (SurfacePoint{360, 20}));
    EXPECT_EQ(grid[2].points[1], (SurfacePoint{660, 440}));
    EXPECT_THAT(TextsOf(surface.Texts()), ::testing::ElementsAre("20", "40", "60", "80", "100", "120"));
    EXPECT_EQ(surface.CallsOf(Kind::Ellipse).size(), 3u);
    EXPECT_EQ(surface.CallsOf(Kind::FrameRect).size(), 1u);
}

TEST(TextOut, ExtentAtNinetyDegreesSwapsWidthAndHeight) {
    RecordingSurface surface;
    CTextOut text(&surface, 10, 0);
    const SurfaceSize flat = text.TextExtent("Wavelength[nm]", 0);
    EXPECT_EQ(flat, (SurfaceSize{14 * 5, 10}));
    const SurfaceSize up = text.TextExtent("Wavelength[nm]", 900);
    EXPECT_NEAR(up.cx, flat.cy, 1);
    EXPECT_NEAR(up.cy, flat.cx, 1);
    const SurfaceSize down = text.TextExtent("Wavelength[nm]", -900);
    EXPECT_EQ(down, up);
    // Beyond a right angle the box stays positive.
    const SurfaceSize turned = text.TextExtent("Wavelength[nm]", 1800);
    EXPECT_NEAR(turned.cx, flat.cx, 1);
    EXPECT_NEAR(turned.cy, flat.cy, 1);
}

TEST(TextOut, DrawTextRestoresFontAndColourButKeepsTheAlignment) {
    RecordingSurface surface;
    surface.SetTextColor(0x123456);
    CTextOut text(&surface, 12, 0);
    text.DrawText(100, 50, "Ratio[%]", TextAlign::kCenter | TextAlign::kBottom, 900);
    ASSERT_EQ(surface.Texts().size(), 1u);
    const RecordedCall t = surface.Texts()[0];
    EXPECT_EQ(t.font.escapement, 900);
    EXPECT_EQ(t.font.pixelHeight, 12);
    EXPECT_EQ(t.color, 0u);
    EXPECT_EQ(surface.TextColor(), 0x123456u);
    EXPECT_EQ(surface.Font(), SurfaceFont{});
    EXPECT_EQ(surface.TextAlignment(), TextAlign::kCenter | TextAlign::kBottom);
}

TEST(TextOut, FontFollowsTheUserLanguage) {
    const platform::Language saved = platform::CurrentLanguage();
    platform::SetLanguage(platform::Language::Japanese);
    SurfaceFont ja = CTextOut::MakeFont(9, 0);
    RecordingSurface surface;
    CDataGraph graph(&surface, kRect, 0xEBEBEB, false, false);
    graph.SetXRange(350, 1050);
    graph.SetYRangeSnapped(0, 100, true);
    graph.Draw(0xFF, GraphSeries{}, true);
    platform::SetLanguage(platform::Language::English);
    SurfaceFont en = CTextOut::MakeFont(9, 0);
    platform::SetLanguage(saved);
    EXPECT_EQ(ja.face, "\xEF\xBC\xAD\xEF\xBC\xB3\xE3\x80\x80\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
    EXPECT_EQ(ja.charSet, 128);
    ASSERT_FALSE(surface.Texts().empty());
    for (const RecordedCall& t : surface.Texts()) {
        EXPECT_EQ(t.font.face, ja.face);
        EXPECT_EQ(t.font.charSet, 128);
    }
    EXPECT_EQ(en.face, "Tahoma");
    EXPECT_EQ(en.charSet, 0);
    EXPECT_EQ(en.height, -9);
    EXPECT_EQ(en.pitchAndFamily, 0x31);
    EXPECT_EQ(en.weight, 400);
}
