// The calculation data graph: time and index axes, the read-out band, Y commands, and the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "tests/unit/metrics/MetricsTestUtil.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/platform/StringIds.h"
#include "render/QtSurfaceImage.h"
#include "render/NumericalGraphPicture.h"
#include "gui/trend/NumericalGraphView.h"
#include "gui/trend/NumericalGraphWnd.h"
#include "gui/shell/ViewFactory.h"

using namespace viewstest;
using N = CNumericalGraphPicture;

namespace {

class NumericalTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        picture_.LoadSettings();
        const long long t0 = datatest::Local(2009, 5, 12, 8, 0, 0);
        // Two records an hour apart, a third ten hours later.
        set_.Append(Measured(t0, "a", 100), 0, 0);
        set_.Append(Measured(t0 + 3600, "b", 200), 0, 2560);
        set_.Append(Measured(t0 + 11 * 3600, "c", 300), 0, 5120);
        picture_.ShowRecords(set_);
    }
    std::vector<int> PointXs(const RecordingSurface& s) {
        for (const RecordedCall& c : s.CallsOf(RecordedCall::Kind::Polyline))
            if (c.points.size() == 3) {
                std::vector<int> xs;
                for (auto p : c.points) xs.push_back(p.x);
                return xs;
            }
        return {};
    }
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    CSpectrumDataSet set_;
    N picture_;
};

}  // namespace

TEST_F(NumericalTest, TimeAxisShowsGapsAndIndexAxisSpacesEvenly) {
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    const SurfaceRect plot = picture_.PlotRect();
    EXPECT_EQ(plot.right, 690);
    auto xs = PointXs(s);
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_EQ(xs[0], plot.left);
    EXPECT_LT(xs[1] - xs[0], (plot.right - plot.left) / 10);  // an hour of eleven
    EXPECT_TRUE(HasText(s, "Integration 350 - 1050"));
    // Dated ticks every two hours, a grid line at each, none at the records.
    const auto verticalGrid = [&](const RecordingSurface& r) {
        std::vector<int> at;
        for (const RecordedCall& c : r.LinesWith(PenStyle::Dotted))
            if (c.points[0].x == c.points[1].x) at.push_back(c.points[0].x);
        return at;
    };
    for (const char* label : {"08:00", "10:00", "12:00", "14:00", "16:00", "18:00"}) EXPECT_TRUE(HasText(s, label)) << label;
    const std::vector<int> grid = verticalGrid(s);
    ASSERT_EQ(grid.size(), 6u);
    EXPECT_EQ(grid[0], xs[0]);
    EXPECT_NEAR(grid[1] - grid[0], 2 * (xs[1] - xs[0]), 1);

    picture_.Prm().m_TIME_AXIS_KIND = 1;
    RecordingSurface even(700, 500);
    picture_.DrawGraph(even);
    xs = PointXs(even);
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_NEAR(xs[1] - xs[0], xs[2] - xs[1], 1);
    // On it a tick stands at the first record of its time: 08:00 at the first, 10:00 at the last.
    EXPECT_EQ(verticalGrid(even), (std::vector<int>{xs[0], xs[2]}));
    // The band is as wide as the spacing of the records.
    EXPECT_EQ(picture_.BandWidth(), 2 * ((plot.right - plot.left) / 4));
    int column = 0;
    EXPECT_EQ(picture_.Pick(xs[1] + 10, column), 1);
    EXPECT_NEAR(column, xs[1], 1);
}

TEST_F(NumericalTest, ReadOutTextSitsOnTheFarSideOfTheBand) {
    picture_.Prm().m_SHOW_KIND = 2;  // lux, no information line
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    EXPECT_FALSE(HasText(s, "Integration 350 - 1050"));
    const SurfaceRect plot = picture_.PlotRect();
    s.Clear();
    ASSERT_TRUE(picture_.DrawReadOut(s, plot.right - 5));
    const auto texts = s.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "[Selected position info]");
    EXPECT_EQ(texts[1].text, "Time : 2009/05/12-19:00:00");
    EXPECT_EQ(texts[2].align & TextAlign::kHorizontalMask, TextAlign::kRight);
    const auto bands = s.CallsOf(RecordedCall::Kind::Polyline);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].rop, RasterOp::Xor);
    EXPECT_EQ(bands[0].pen.color, N::kBandColor);
    s.Clear();
    ASSERT_TRUE(picture_.DrawReadOut(s, plot.left + 5));
    EXPECT_EQ(s.Texts()[2].align & TextAlign::kHorizontalMask, TextAlign::kLeft);
    EXPECT_FALSE(picture_.DrawReadOut(s, plot.left - 1));
}

namespace {

CSpectrumData Timed(CSpectrumData r, long long t) {
    r.SetTime(t);
    return r;
}

// The records of a whole day's trend, one entry each, at the given local hours of 2009/05/12 + day.
void AppendHours(CSpectrumDataSet& set, const CSpectrumData& r, int day, std::initializer_list<int> hours) {
    for (int h : hours) set.Append(Timed(r, datatest::Local(2009, 5, 12 + day, h, 0, 0)), 0, 2560 * set.Count());
}

}  // namespace

TEST_F(NumericalTest, LightQualityKindsPlotEachRecordsValue) {
    // Illuminant A, D65, and a record too narrow for colour.
    CSpectrumDataSet set;
    AppendHours(set, metricstest::RecordOf(metricstest::ReadSpd("cie_illuminant_a"), 350, 1050), 0, {8});
    AppendHours(set, metricstest::RecordOf(metricstest::ReadSpd("cie_illuminant_d65"), 350, 1050), 0, {9});
    AppendHours(set, metricstest::RecordOf(metricstest::Spd{{0, 2000}, {1, 1}}, 400, 760), 0, {10});
    picture_.ShowRecords(set);
    picture_.Prm().m_SHOW_KIND = CNumericalGraphPrm::kKindCct;
    EXPECT_NEAR(picture_.ValueOf(0), 2856, 5);
    EXPECT_NEAR(picture_.ValueOf(1), 6504, 10);
    EXPECT_TRUE(std::isnan(picture_.ValueOf(2)));
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    EXPECT_TRUE(HasText(s, "CCT[K]"));
    const std::uint32_t color = static_cast<std::uint32_t>(picture_.Prm().m_DATA_COLOR.Get());
    const auto curves = s.CallsOf(RecordedCall::Kind::Polyline);
    EXPECT_EQ(std::count_if(curves.begin(), curves.end(),
                            [&](const RecordedCall& c) { return c.pen.color == color && c.points.size() == 2; }),
              1);  // the narrow record is left out, not drawn at the bottom
    // R:FR of a flat spectrum is the ratio of the bands' mean photon energies' inverse: 660 / 730.
    picture_.Prm().m_SHOW_KIND = CNumericalGraphPrm::kKindRfr;
    EXPECT_NEAR(picture_.ValueOf(2), 660.0 / 730.0, 1e-4);
    picture_.Prm().m_SHOW_KIND = CNumericalGraphPrm::kKindMelanopicEdi;
    EXPECT_GT(picture_.ValueOf(1), picture_.ValueOf(0));  // daylight is richer in blue than a lamp
    picture_.Prm().m_SHOW_KIND = CNumericalGraphPrm::kKindPpfd;
    EXPECT_GT(picture_.ValueOf(2), 0);
    // The stated kinds keep their labels.
    picture_.Prm().m_SHOW_KIND = 2;
    EXPECT_EQ(picture_.KindLabel(), ids::kLabelLuxLx);
}

TEST_F(NumericalTest, DailyLightIntegralIsABarPerDayOutlinedWhenDaysHaveGaps) {
    const CSpectrumData flat = metricstest::RecordOf(metricstest::Spd{{0, 2000}, {1, 1}}, 350, 1050);
    double ppfd = 0;
    metrics::MetricsCalculator calculator;
    ASSERT_TRUE(calculator.Ppfd(flat, ppfd));
    CSpectrumDataSet set;
    // A whole day from 6 to 22 o'clock, hourly; the next with a gap from 8 to 14 o'clock.
    AppendHours(set, flat, 0, {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22});
    AppendHours(set, flat, 1, {6, 7, 8, 14, 15});
    picture_.ShowRecords(set);
    picture_.Prm().m_SHOW_KIND = CNumericalGraphPrm::kKindDli;
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    ASSERT_EQ(picture_.Days().size(), 2u);
    const std::uint32_t color = static_cast<std::uint32_t>(picture_.Prm().m_DATA_COLOR.Get());
    std::vector<RecordedCall> filled, outlined;
    for (const RecordedCall& c : s.CallsOf(RecordedCall::Kind::FillRect))
        if (c.color == color) filled.push_back(c);
    for (const RecordedCall& c : s.CallsOf(RecordedCall::Kind::FrameRect))
        if (c.color == color) outlined.push_back(c);
    ASSERT_EQ(filled.size(), 1u);
    ASSERT_EQ(outlined.size(), 1u);
    const SurfaceRect plot = picture_.PlotRect();
    EXPECT_LT(filled[0].rect.right, outlined[0].rect.left);
    EXPECT_EQ(filled[0].rect.bottom, outlined[0].rect.bottom);
    // Sixteen hours against three: the bars' heights keep that ratio, the taller reaching the top.
    const double full = filled[0].rect.bottom - filled[0].rect.top, part = outlined[0].rect.bottom - outlined[0].rect.top;
    EXPECT_NEAR(part / full, 3.0 / 16.0, 0.02);
    EXPECT_GE(filled[0].rect.top, plot.top);
    EXPECT_TRUE(HasText(s, "DLI[mol/m^2/d]"));
    EXPECT_TRUE(HasText(s, "2009/05/13"));

    s.Clear();
    ASSERT_TRUE(picture_.DrawReadOut(s, (filled[0].rect.left + filled[0].rect.right) / 2));
    const auto texts = s.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].text, "Time : 2009/05/12");
    const std::string prefix = "DLI[mol/m^2/d] : ";
    ASSERT_EQ(texts[2].text.rfind(prefix, 0), 0u);
    EXPECT_NEAR(std::stod(texts[2].text.substr(prefix.size())), ppfd * 16 * 3600 / 1e6, 1e-4 * ppfd);
    s.Clear();
    ASSERT_TRUE(picture_.DrawReadOut(s, outlined[0].rect.right - 1));
    EXPECT_TRUE(HasText(s, "Incomplete: 3 h covered"));
}

TEST_F(NumericalTest, YCommandsNeedAFixedRange) {
    EXPECT_FALSE(picture_.Enabled(GraphCommand::YZoomIn));
    picture_.Prm().m_RANGE_AUTO_Y = 0;
    picture_.Prm().m_SHOW_KIND = 0;
    picture_.Prm().m_RANGE_MIN_PAR = 0;
    picture_.Prm().m_RANGE_MAX_PAR = 100;
    ASSERT_TRUE(picture_.Execute(GraphCommand::YShiftUp));
    EXPECT_EQ(picture_.Prm().m_RANGE_MIN_PAR.Get(), -20.0f);
    EXPECT_EQ(picture_.Prm().m_RANGE_MAX_PAR.Get(), 80.0f);
    picture_.Execute(GraphCommand::YZoomIn);
    EXPECT_EQ(picture_.Prm().m_RANGE_MIN_PAR.Get(), -10.0f);
    EXPECT_EQ(picture_.Prm().m_RANGE_MAX_PAR.Get(), 70.0f);
    // A kind the program does not have, from the file, counts as integration.
    picture_.Prm().m_SHOW_KIND = 42;
    EXPECT_EQ(picture_.Kind(), 8);
}

TEST_F(NumericalTest, WindowKeepsTheBandOffItsPicture) {
    ScriptedPrompter prompter;
    auto* frame = static_cast<CNumericalGraphWnd*>(MakeViewFactory().openNumericalGraph("Calculation data graph", set_));
    ASSERT_NE(frame, nullptr);
    FrameSignals recorder(frame);
    Pump();
    EXPECT_FALSE(frame->Action(GraphCommand::YZoomIn)->isEnabled());
    EXPECT_EQ(frame->Action(GraphCommand::YZoomIn)->toolTip(), "Zoom in - y-axis");
    CNumericalGraphView* view = frame->View();
    const SurfaceRect plot = view->Picture().PlotRect();
    const QPointF at(plot.left + 20, plot.top + 50);
    QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    EXPECT_TRUE(view->CursorActive());
    const QImage shown = view->grab().toImage();
    RgbImage kept;
    ASSERT_TRUE(view->Picture().Graph()->ReadPixels(kept));
    // On the screen the band inverts the plot background; the picture stays clean.
    EXPECT_NE(shown.pixel(plot.left + 2, plot.bottom - 3) & 0xFFFFFF, 0xEBEBEBu);
    EXPECT_EQ(kept.At(plot.left + 2, plot.bottom - 3), N::kPlotBackground);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view, &release);
    EXPECT_FALSE(view->CursorActive());
    frame->close();
    Pump();
    EXPECT_EQ(recorder.Count("closed"), 1);
}
