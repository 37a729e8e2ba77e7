// The spectrum graph's picture: axis lists, ranges, legend and read-out, drawn without a window.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "render/QtSurfaceImage.h"
#include "render/DataGraphPicture.h"

using namespace viewstest;
using P = CDataGraphPicture;

namespace {

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        picture_.LoadSettings();  // the defaults: the working folder has no file
        record_ = Measured(datatest::Local(2009, 5, 12, 10, 0, 0), "roof");
        standard_ = Measured(datatest::Local(2009, 5, 1, 12, 0, 0), "ref", 300.0f);
    }
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    CSpectrumData record_;
    CSpectrumData standard_;
    P picture_;
};

std::vector<RecordedCall> CurvesOf(const RecordingSurface& s, std::uint32_t color) {
    std::vector<RecordedCall> out;
    for (const RecordedCall& c : s.CallsOf(RecordedCall::Kind::Polyline))
        if (c.pen.color == color && c.points.size() > 10) out.push_back(c);
    return out;
}

}  // namespace

TEST_F(PictureTest, FixedIrradianceAxisLabelsTwentyToHundredAndNoZero) {
    picture_.Prm().m_RANGE_AUTO_Y = 0;
    picture_.Prm().m_RANGE_MIN_Y = 0;
    picture_.Prm().m_RANGE_MAX_Y = 100;
    picture_.ShowMeasured(record_, nullptr);
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    for (const char* label : {"20", "40", "60", "80", "100"}) EXPECT_TRUE(HasText(s, label)) << label;
    EXPECT_FALSE(HasText(s, "0"));
    EXPECT_TRUE(HasText(s, "Irradiance[W/m^2/um]"));
    EXPECT_TRUE(HasText(s, "Wavelength[nm]"));
    EXPECT_TRUE(HasText(s, "Measured data :  roof"));
    // Title 14 px, one information line of 12 px: the plot rectangle follows from them.
    const SurfaceRect plot = picture_.PlotRect();
    EXPECT_EQ(plot.left, 50);
    EXPECT_EQ(plot.right, 650);
    EXPECT_EQ(plot.top, 14 + 20);
    EXPECT_EQ(plot.bottom, 500 - (12 + 5) - 30);
}

TEST_F(PictureTest, WavelengthZoomAndShiftKeepTheirLimits) {
    picture_.ShowMeasured(record_, nullptr);
    auto& prm = picture_.Prm();
    auto range = [&] { return std::make_pair(prm.m_RANGE_MIN_X.Get(), prm.m_RANGE_MAX_X.Get()); };
    ASSERT_TRUE(picture_.Execute(GraphCommand::XZoomOut));
    EXPECT_EQ(range(), std::make_pair(350.0f, 1050.0f));
    prm.m_RANGE_MIN_X = 400;
    prm.m_RANGE_MAX_X = 600;
    picture_.Execute(GraphCommand::XShiftRight);
    EXPECT_EQ(range(), std::make_pair(360.0f, 560.0f));
    picture_.Execute(GraphCommand::XShiftRight);
    EXPECT_EQ(range(), std::make_pair(350.0f, 550.0f));
    prm.m_RANGE_MIN_X = 800;
    prm.m_RANGE_MAX_X = 1000;
    picture_.Execute(GraphCommand::XShiftLeft);
    EXPECT_EQ(range(), std::make_pair(840.0f, 1040.0f));
    picture_.Execute(GraphCommand::XShiftLeft);
    EXPECT_EQ(range(), std::make_pair(850.0f, 1050.0f));  // width kept against the upper limit
    picture_.Execute(GraphCommand::XZoomIn);
    EXPECT_EQ(range(), std::make_pair(870.0f, 1030.0f));
    picture_.Execute(GraphCommand::XZoomOut);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MIN_X.Get(), 854.0f);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MAX_X.Get(), 1046.0f);
}

TEST_F(PictureTest, IrradianceAndRatioCommandsNeedAFixedVisibleAxis) {
    picture_.ShowMeasured(record_, &standard_);
    auto& prm = picture_.Prm();
    EXPECT_FALSE(picture_.Enabled(GraphCommand::YZoomIn));  // automatic range by default
    EXPECT_FALSE(picture_.Execute(GraphCommand::YShiftUp));
    prm.m_RANGE_AUTO_Y = 0;
    prm.m_RANGE_MIN_Y = 0;
    prm.m_RANGE_MAX_Y = 100;
    ASSERT_TRUE(picture_.Execute(GraphCommand::YShiftUp));  // the window moves to lower values
    EXPECT_EQ(prm.m_RANGE_MIN_Y.Get(), -20.0f);
    EXPECT_EQ(prm.m_RANGE_MAX_Y.Get(), 80.0f);
    picture_.Execute(GraphCommand::YZoomOut);
    EXPECT_EQ(prm.m_RANGE_MIN_Y.Get(), -30.0f);
    EXPECT_EQ(prm.m_RANGE_MAX_Y.Get(), 90.0f);
    EXPECT_FALSE(picture_.RatioAdjustable());
    prm.m_SHOW_RATIO_DATA = 1;
    EXPECT_FALSE(picture_.RatioAdjustable());  // the ratio axis follows its curve by default
    prm.m_RANGE_AUTO_RATIO = 0;
    EXPECT_TRUE(picture_.RatioAdjustable());
    ASSERT_TRUE(picture_.Execute(GraphCommand::RatioShiftDown));
    EXPECT_EQ(prm.m_RANGE_MIN_RATIO.Get(), 20.0f);
    EXPECT_EQ(prm.m_RANGE_MAX_RATIO.Get(), 120.0f);
    picture_.ShowStandard(standard_);
    EXPECT_FALSE(picture_.RatioAdjustable());
    EXPECT_FALSE(picture_.Enabled(GraphCommand::ShowUv));
    EXPECT_FALSE(picture_.Enabled(GraphCommand::Previous));
}

TEST_F(PictureTest, TheLastVisibleSeriesCannotBeSwitchedOff) {
    picture_.ShowMeasured(record_, nullptr);
    EXPECT_FALSE(picture_.Execute(GraphCommand::PlotMeasured));
    EXPECT_TRUE(picture_.Checked(GraphCommand::PlotMeasured));
    // Without standard data even a set standard key does not make another series visible.
    picture_.Prm().m_SHOW_BASE_DATA = 1;
    EXPECT_FALSE(picture_.Execute(GraphCommand::PlotMeasured));

    picture_.Prm().m_SHOW_BASE_DATA = 0;
    picture_.ShowMeasured(record_, &standard_);
    ASSERT_TRUE(picture_.Execute(GraphCommand::PlotStandard));
    ASSERT_TRUE(picture_.Execute(GraphCommand::PlotMeasured));
    EXPECT_FALSE(picture_.Checked(GraphCommand::PlotMeasured));
    EXPECT_FALSE(picture_.Execute(GraphCommand::PlotStandard));  // now the only one
    EXPECT_TRUE(picture_.Checked(GraphCommand::PlotStandard));
    // The information lines flip freely.
    EXPECT_TRUE(picture_.Execute(GraphCommand::ShowParPhotonLux));
    EXPECT_TRUE(picture_.Execute(GraphCommand::ShowParPhotonLux));
}

TEST_F(PictureTest, SeveralRecordsKeepTheStandardCurveWhileNoRecordIsShown) {
    std::vector<CSpectrumData> records{record_, Measured(record_.GetTime() + 60, "b", 150.0f)};
    picture_.ShowPlural(records, &standard_);
    picture_.Prm().m_SHOW_BASE_DATA = 1;
    picture_.Prm().m_SHOW_DATA[0] = 0;
    picture_.Prm().m_SHOW_DATA[1] = 0;
    EXPECT_FALSE(picture_.Execute(GraphCommand::PlotStandard));
    picture_.Prm().m_SHOW_DATA[1] = 1;
    EXPECT_TRUE(picture_.Execute(GraphCommand::PlotStandard));
}

TEST_F(PictureTest, RatioAloneIsLabelledOnTheLeft) {
    auto& prm = picture_.Prm();
    picture_.ShowMeasured(record_, &standard_);
    prm.m_SHOW_MEASURED_DATA = 0;
    prm.m_SHOW_RATIO_DATA = 1;
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    const SurfaceRect plot = picture_.PlotRect();
    bool leftTitle = false;
    for (const RecordedCall& t : s.Texts()) {
        if (t.text == "Ratio[%]") {
            leftTitle = t.points[0].x == plot.left - 45 && t.font.escapement == 900;
        }
        EXPECT_NE(t.text, "Irradiance[W/m^2/um]");
        EXPECT_LT(t.points[0].x, plot.right) << t.text;  // nothing labels the right edge
    }
    EXPECT_TRUE(leftTitle);
    EXPECT_EQ(CurvesOf(s, 0xFF0000).size(), 1u);  // the ratio curve in RATIO_DATA_COLOR

    // With an irradiance curve as well, the ratio axis moves to the right.
    prm.m_SHOW_MEASURED_DATA = 1;
    RecordingSurface both(700, 500);
    picture_.DrawGraph(both);
    bool rightTitle = false;
    for (const RecordedCall& t : both.Texts())
        if (t.text == "Ratio[%]") rightTitle = t.points[0].x == plot.right + 40;
    EXPECT_TRUE(rightTitle);
    EXPECT_TRUE(HasText(both, "Irradiance[W/m^2/um]"));
}

TEST_F(PictureTest, SeveralRecordsAsRatiosUseTheirOwnColours) {
    std::vector<CSpectrumData> records{record_, Measured(record_.GetTime() + 60, "b", 150.0f),
                                       Measured(record_.GetTime() + 120, "c", 200.0f)};
    auto& prm = picture_.Prm();
    prm.m_SHOW_KIND = 1;
    prm.m_SHOW_BASE_DATA = 1;
    prm.m_DATA_COLOR[0] = 0x0000AA;
    prm.m_DATA_COLOR[1] = 0x00AA00;
    prm.m_DATA_COLOR[2] = 0xAA0000;
    picture_.ShowPlural(records, &standard_);
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    for (std::uint32_t c : {0x0000AAu, 0x00AA00u, 0xAA0000u}) EXPECT_EQ(CurvesOf(s, c).size(), 1u) << c;
    EXPECT_EQ(CurvesOf(s, 0x00FF00).size(), 1u);  // the standard, on the left axis
    EXPECT_TRUE(HasText(s, "Irradiance[W/m^2/um]"));
    bool rightTitle = false;
    for (const RecordedCall& t : s.Texts())
        if (t.text == "Ratio[%]") rightTitle = t.points[0].x == picture_.PlotRect().right + 40;
    EXPECT_TRUE(rightTitle);
    EXPECT_TRUE(HasText(s, "Ratio data(Plural data display)  "));

    // Without standard data the plural view falls back to irradiance.
    picture_.ShowPlural(records, nullptr);
    EXPECT_EQ(prm.m_SHOW_KIND.Get(), 0);
}

TEST_F(PictureTest, ReadOutSnapsToTheFirstRecordsSample) {
    picture_.ShowMeasured(record_, &standard_);
    picture_.Prm().m_SHOW_BASE_DATA = 1;
    picture_.Prm().m_SHOW_RATIO_DATA = 1;
    ASSERT_TRUE(picture_.Render(700, 500));
    const SurfaceRect plot = picture_.PlotRect();
    const int x = plot.left + 123;
    ASSERT_TRUE(picture_.ReadOutAt(x));
    const double wl = 350 + (1050.0 - 350) * (x - plot.left) / (plot.right - plot.left);
    const float snapped = record_.Wavelength(record_.NearestIndex(static_cast<float>(wl)));
    EXPECT_EQ(picture_.CursorWavelength(), snapped);
    EXPECT_NE(static_cast<double>(snapped), wl);
    const int px = static_cast<int>(plot.left + (snapped - 350.0) * (plot.right - plot.left) / 700.0);
    EXPECT_EQ(picture_.CursorX(), px);
    const float v = record_.IrradianceAt(snapped, 0);
    const float t = standard_.IrradianceAt(snapped, 0);
    EXPECT_EQ(picture_.CursorValues()[0], v);
    EXPECT_EQ(picture_.CursorStandard(), t);
    EXPECT_FLOAT_EQ(picture_.CursorRatio(), static_cast<float>(v * 100.0 / t));

    const auto lines = picture_.LegendLines(true);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].text.rfind("Ratio data[%]: ", 0), 0u) << lines[2].text;
    EXPECT_EQ(lines[0].text.rfind("Measured data[W/m^2/um]: ", 0), 0u) << lines[0].text;

    // The cursor line inverts the plot background along its whole height.
    RgbImage shown;
    ASSERT_TRUE(picture_.DisplayPixels(shown));
    const int y = plot.bottom - 3;
    EXPECT_EQ(shown.At(px, y), 0xFFFFFFu ^ P::kPlotBackground);
    EXPECT_TRUE(picture_.EndReadOut());
    ASSERT_TRUE(picture_.DisplayPixels(shown));
    EXPECT_EQ(shown.At(px, y), P::kPlotBackground);
}

TEST_F(PictureTest, ReadOutAgainstAZeroStandardShowsZero) {
    CSpectrumData dark = standard_;
    dark.SetSignal(std::vector<float>(256, 0.0f));
    picture_.ShowMeasured(record_, &dark);
    picture_.Prm().m_SHOW_RATIO_DATA = 1;
    ASSERT_TRUE(picture_.Render(700, 500));
    ASSERT_TRUE(picture_.ReadOutAt(picture_.PlotRect().left + 200));
    EXPECT_EQ(picture_.CursorRatio(), 0.0f);
}

TEST_F(PictureTest, LegendShowsTimesAndMemosWithoutReadOut) {
    picture_.ShowMeasured(record_, &standard_);
    picture_.Prm().m_SHOW_BASE_DATA = 1;
    picture_.Prm().m_SHOW_DIFFERENCE_DATA = 1;
    const auto lines = picture_.LegendLines(false);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "Measured data: 2009/05/12-10:00:00 roof");
    EXPECT_EQ(lines[1].text, "Standard Data: 2009/05/01-12:00:00 ref");
    EXPECT_EQ(lines[2].text, "Difference data");
    EXPECT_EQ(lines[0].color, 0x0000FFu);
    // The built-in standard record has no time: no information line, no time in the legend.
    CSpectrumData jis;
    jis.LoadJisStandard();
    picture_.ShowStandard(jis);
    EXPECT_EQ(picture_.LegendLines(false)[0].text, "Standard DataJIS Standard Data");
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    for (const std::string& t : TextsOf(s)) EXPECT_EQ(t.find("Measurement time"), std::string::npos);
    EXPECT_TRUE(HasText(s, "Standard data :  JIS Standard Data"));
}

TEST_F(PictureTest, RenderedPictureHasItsFramePlotAndCurve) {
    picture_.Prm().m_RANGE_AUTO_Y = 0;
    picture_.Prm().m_RANGE_MIN_Y = 0;
    picture_.Prm().m_RANGE_MAX_Y = 1000;
    picture_.Prm().m_SHOW_GRID = 0;
    picture_.ShowMeasured(record_, nullptr);
    ASSERT_TRUE(picture_.Render(700, 500));
    RgbImage img;
    ASSERT_TRUE(picture_.DisplayPixels(img));
    ASSERT_EQ(img.width, 700);
    ASSERT_EQ(img.height, 500);
    const SurfaceRect plot = picture_.PlotRect();
    EXPECT_EQ(img.At(5, 5), 0xFFFFFFu);                          // client white
    EXPECT_EQ(img.At(plot.left, plot.bottom - 5), 0x00FF00u);    // green frame, left edge
    EXPECT_EQ(img.At(plot.right, plot.top + 200), 0x00FF00u);  // and right edge, drawn inclusive
    EXPECT_EQ(img.At(plot.left + 300, plot.bottom - 2), P::kPlotBackground);
    // The red curve crosses the column in the middle of the plot, below the legend.
    int red = 0;
    for (int y = plot.top + 60; y < plot.bottom; ++y) red += img.At((plot.left + plot.right) / 2, y) == 0x0000FFu;
    EXPECT_GT(red, 0);
    // The legend's black frame sits at plot top-left + 4.
    EXPECT_EQ(picture_.LegendPosition(), (SurfacePoint{plot.left + 4, plot.top + 4}));
    EXPECT_EQ(img.At(plot.left + 4, plot.top + 4), 0x000000u);
    EXPECT_EQ(img.At(plot.left + 10, plot.top + 5), 0xFFFFFFu);
}

TEST(FormatTextTest, FillsPlaceholdersLocaleIndependently) {
    EXPECT_EQ(FormatText("%s: %g", {"a", 1.5}), "a: 1.5");
    EXPECT_EQ(FormatText("[%%]: %g", {0.25f}), "[%]: 0.25");
    EXPECT_EQ(FormatText("%d - %d %s", {3}), "3 -  ");
}
