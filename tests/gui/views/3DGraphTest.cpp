// The 3-D graph: projection, fit, walls, ribbons and clamping on the recording surface, the
// rendered pixels, zoom/shift/turn, bad input, the settings dialog and the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <cmath>
#include <limits>

#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "render/QtSurfaceImage.h"
#include "render/3DGraphPicture.h"
#include "gui/threed/3DGraphView.h"
#include "gui/threed/3DGraphWnd.h"
#include "render/3DProjection.h"
#include "gui/threed/Set3DGraph.h"
#include "gui/shell/ViewFactory.h"

using namespace viewstest;
using G = C3DGraphPicture;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

class ThreeDTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        picture_.LoadSettings();
        t0_ = datatest::Local(2009, 5, 12, 10, 0, 0);
        for (int i = 0; i < 3; ++i) set_.Append(Measured(t0_ + 600 * i, "r", 100.0f + 50.0f * i), 0, 2560 * i);
        standard_ = Measured(t0_ - 3600, "std", 200.0f);
        picture_.SetData(set_, &standard_);
    }
    // Every vertex of every line and polygon (texts excluded).
    static std::vector<SurfacePoint> Geometry(const RecordingSurface& s) {
        std::vector<SurfacePoint> out;
        for (const RecordedCall& c : s.Calls())
            if (c.kind == RecordedCall::Kind::Polyline || c.kind == RecordedCall::Kind::Polygon)
                out.insert(out.end(), c.points.begin(), c.points.end());
        return out;
    }
    static void ExpectInside(const RecordingSurface& s, int w, int h, const std::string& what) {
        for (const SurfacePoint& p : Geometry(s)) {
            ASSERT_TRUE(p.x >= 0 && p.x <= w && p.y >= 0 && p.y <= h) << what << ": " << p.x << "," << p.y;
        }
    }
    // The polylines of the curves: solid, in DATA_COLOR, with more than three points.
    std::vector<RecordedCall> Curves(const RecordingSurface& s) const {
        std::vector<RecordedCall> out;
        const std::uint32_t color = static_cast<std::uint32_t>(picture_.Prm().m_DATA_COLOR.Get());
        for (const RecordedCall& c : s.CallsOf(RecordedCall::Kind::Polyline))
            if (c.pen.style == PenStyle::Solid && c.pen.color == color && c.points.size() > 3) out.push_back(c);
        return out;
    }
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    long long t0_ = 0;
    CSpectrumDataSet set_;
    CSpectrumData standard_;
    G picture_;
};

}  // namespace

TEST(ThreeDProjection, KnownPointsAndAxes) {
    // Theta enters negated: 45 and 45 degrees give A = (sin 45, cos 45, 0).
    const C3DProjection p(-45 * kDeg, 45 * kDeg, 80000);
    const double h = std::sqrt(0.5);
    EXPECT_NEAR(p.AxisA().x, h, 1e-12);
    EXPECT_NEAR(p.AxisA().y, h, 1e-12);
    EXPECT_NEAR(p.AxisA().z, 0, 1e-12);
    EXPECT_NEAR(p.AxisB().x, -0.5, 1e-12);
    EXPECT_NEAR(p.AxisB().y, 0.5, 1e-12);
    EXPECT_NEAR(p.AxisB().z, h, 1e-12);
    EXPECT_NEAR(p.Eye().x, 40000, 1e-6);
    EXPECT_NEAR(p.Eye().y, -40000, 1e-6);
    EXPECT_NEAR(p.Eye().z, 80000 * h, 1e-6);
    EXPECT_NEAR(p.Direction().x * p.Eye().x + p.Direction().y * p.Eye().y + p.Direction().z * p.Eye().z, -80000, 1e-6);
    // Parallel projection: the eye's distance drops out.
    const C3DProjected a = p.Project(100, 0, 0);
    EXPECT_NEAR(a.u, 100 * h, 1e-6);
    EXPECT_NEAR(a.v, -50, 1e-6);
    const C3DProjected b = p.Project(10, 20, 30);
    EXPECT_NEAR(b.u, 30 * h, 1e-6);
    EXPECT_NEAR(b.v, -5 + 10 + 30 * h, 1e-6);
    // Straight from the front (theta 90, phi 0): across is x, up is z.
    const C3DProjection front(-90 * kDeg, 0, 1000);
    EXPECT_NEAR(front.Project(7, 99, 3).u, 7, 1e-9);
    EXPECT_NEAR(front.Project(7, 99, 3).v, 3, 1e-9);
}

TEST_F(ThreeDTest, FitSpansTheBoxIsotropicallyInsideTheMargins) {
    picture_.Prm().m_TIME_AXIS_KIND = 1;
    RecordingSurface s(800, 600);
    picture_.DrawGraph(s);
    const G::Layout& l = picture_.LastLayout();
    // Three records on the equal interval axis: 1, 2, 3 on 0 .. 4; depth (n - 1) * H / 10.
    EXPECT_EQ(l.depth, 120);
    EXPECT_EQ(l.t0, 0);
    EXPECT_EQ(l.t1, 4);
    EXPECT_EQ(picture_.TimeOf(0), 1);
    EXPECT_EQ(picture_.TimeOf(2), 3);
    // The window is spanned by the four extreme corners, truncated.
    const C3DProjection p(-45 * kDeg, 45 * kDeg, 80000);
    auto T = [](double v) { return static_cast<int>(v); };
    const C3DProjected p1 = p.Project(0, 0, 600), p2 = p.Project(800, 120, 0), p3 = p.Project(0, 120, 600),
                       p4 = p.Project(800, 0, 0);
    EXPECT_EQ(l.windowOrg, (SurfacePoint{T(p1.u), T(p4.v)}));
    EXPECT_EQ(l.windowExt, (SurfaceSize{T(p2.u) - T(p1.u), T(p4.v) - T(p3.v)}));
    // Room for the labels, grown by 8/7 at this size (recorded text: 14 px tall, 7 px a character,
    // the title 16 tall): 28 left of the box for the value title, the time's 19 characters and 11
    // right of it, the title and 23 above, a line and 14 below. One side of the 628 x 533 left is
    // granted in full, the other shrunk to keep the scale.
    EXPECT_TRUE(l.viewportExt.cx == 628 || l.viewportExt.cy == 533);
    EXPECT_LE(l.viewportExt.cx, 628);
    EXPECT_LE(l.viewportExt.cy, 533);
    const double sx = static_cast<double>(l.viewportExt.cx) / l.windowExt.cx;
    const double sy = static_cast<double>(l.viewportExt.cy) / -l.windowExt.cy;
    EXPECT_NEAR(sx, sy, 0.01);
    EXPECT_EQ(l.viewportOrg.x, (628 - l.viewportExt.cx) / 2 + 28);
    EXPECT_EQ(l.viewportOrg.y, 600 - (533 - l.viewportExt.cy) / 2 - 28);
    // Walls: two side walls and the floor, outlined in solid green.
    const auto walls = s.CallsOf(RecordedCall::Kind::Polygon);
    ASSERT_EQ(walls.size(), 3u);
    EXPECT_EQ(walls[0].brush.color, G::kSideWallColor);
    EXPECT_EQ(walls[1].brush.color, G::kSideWallColor);
    EXPECT_EQ(walls[2].brush.color, G::kFloorColor);
    for (const auto& w : walls) {
        EXPECT_EQ(w.pen.color, 0x00FF00u);
        EXPECT_EQ(w.pen.style, PenStyle::Solid);
    }
    // Everything lies inside the box the room leaves: 28 .. 656 across, 39 .. 572 down.
    for (const SurfacePoint& q : Geometry(s)) {
        if (q == SurfacePoint{0, 0}) continue;
        EXPECT_GE(q.x, 27);
        EXPECT_LE(q.x, 657);
        EXPECT_GE(q.y, 38);
        EXPECT_LE(q.y, 573);
    }
    EXPECT_TRUE(HasText(s, "Measured data : 2009/05/12 10:00:00 - 2009/05/12 10:20:00"));
    EXPECT_TRUE(HasText(s, "2009/05/12-10:00:00"));
    EXPECT_TRUE(HasText(s, "2009/05/12-10:20:00"));
    EXPECT_TRUE(HasText(s, "Wavelength[nm]"));
    EXPECT_TRUE(HasText(s, "350"));
    EXPECT_TRUE(HasText(s, "1050"));
    // Labels are drawn in pixels, whatever the box's scale, a little larger than at 700 x 500.
    for (const RecordedCall& t : s.Texts()) EXPECT_TRUE(t.font.pixelHeight == 14 || t.font.pixelHeight == 16) << t.text;
}

TEST_F(ThreeDTest, TimeSeriesAxisAndRibbons) {
    CSpectrumDataSet two;
    two.Append(Measured(t0_, "a"), 0, 0);
    two.Append(Measured(t0_ + 600, "b"), 0, 2560);
    picture_.SetData(two, &standard_);
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    // 10:00 and 10:10 span 09:50 to 10:20.
    EXPECT_EQ(picture_.LastLayout().t0, static_cast<double>(t0_ - 600));
    EXPECT_EQ(picture_.LastLayout().t1, static_cast<double>(t0_ + 1200));
    // Per record three polylines (centre and both edges) and one cross line per point.
    const auto curves = Curves(s);
    ASSERT_EQ(curves.size(), 6u);
    GraphSeries series;
    two.Record(0)->SpectrumSeries(350, 1050, 0, series);
    EXPECT_EQ(curves[0].points.size(), series.Count());
    std::size_t crosses = 0;
    for (const RecordedCall& c : s.LinesWith(PenStyle::Solid)) crosses += c.pen.color == 255u;
    EXPECT_EQ(crosses, 2 * series.Count());
    // Time lines: one dotted floor-and-wall line per record.
    std::size_t timeLines = 0;
    for (const RecordedCall& c : s.CallsOf(RecordedCall::Kind::Polyline))
        timeLines += c.pen.style == PenStyle::Dotted && c.points.size() == 3;
    EXPECT_EQ(timeLines, 2u);
}

TEST_F(ThreeDTest, ValuesOutsideTheRangeAreClampedToItsEdges) {
    // From the front: across is wavelength, up is value.
    picture_.Prm().m_ANGLE_THETA = 90;
    picture_.Prm().m_ANGLE_PHI = 0;
    picture_.Prm().m_RANGE_AUTO_Y = 0;
    picture_.Prm().m_RANGE_MIN_Y = 0;
    picture_.Prm().m_RANGE_MAX_Y = 1;  // far below the records' irradiance
    RecordingSurface s(800, 600);
    picture_.DrawGraph(s);
    const G::Layout& l = picture_.LastLayout();
    EXPECT_EQ(l.viewportExt, (SurfaceSize{628, 471}));  // 800 x 600 scaled by 628 / 800
    const int boxTop = l.viewportOrg.y - l.viewportExt.cy;
    const auto curves = Curves(s);
    ASSERT_FALSE(curves.empty());
    for (const auto& c : curves)
        for (const SurfacePoint& p : c.points) EXPECT_NEAR(p.y, boxTop, 1);
    // Not dropped: every point is still there.
    GraphSeries series;
    set_.Record(0)->SpectrumSeries(350, 1050, 0, series);
    EXPECT_EQ(curves[0].points.size(), series.Count());
    // The value grid: 0 .. 1 in steps of 0.2, inner ticks labelled.
    EXPECT_TRUE(HasText(s, "0.2"));
    EXPECT_TRUE(HasText(s, "0.8"));
    EXPECT_FALSE(HasText(s, "0"));
}

TEST_F(ThreeDTest, RenderedPixelsShowWallsAndRibbonColour) {
    picture_.Prm().m_DATA_COLOR = 0xFF0000;  // blue
    std::unique_ptr<QtSurfaceImage> image = QtSurfaceImage::Create(800, 600);
    ASSERT_TRUE(image);
    picture_.DrawGraph(*image);
    const QImage& img = image->Image();
    auto rgb = [&img](SurfacePoint p) { return img.pixel(p.x, p.y) & 0xFFFFFFu; };
    // The walls and the floor are filled in their colours, the ribbons drawn in the data colour.
    int wall = 0, floor = 0, blue = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            wall += c == 0xEBEBEB;
            floor += c == 0xD7D7D7;
            blue += c == 0x0000FF;
        }
    EXPECT_GT(wall, 20000);
    EXPECT_GT(floor, 10000);
    EXPECT_GT(blue, 1000);
    // Outside the box the picture is white.
    EXPECT_EQ(rgb({5, 590}), 0xFFFFFFu);
    EXPECT_EQ(rgb({795, 45}), 0xFFFFFFu);
}

TEST_F(ThreeDTest, ZoomShiftAndTurn) {
    auto& prm = picture_.Prm();
    EXPECT_FALSE(picture_.Enabled(GraphCommand::YZoomIn));  // automatic range
    prm.m_RANGE_AUTO_Y = 0;
    prm.m_RANGE_MIN_Y = 0;
    prm.m_RANGE_MAX_Y = 100;
    ASSERT_TRUE(picture_.Execute(GraphCommand::YZoomIn));
    EXPECT_FLOAT_EQ(prm.m_RANGE_MIN_Y.Get(), 10);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MAX_Y.Get(), 90);
    ASSERT_TRUE(picture_.Execute(GraphCommand::YShiftUp));
    EXPECT_FLOAT_EQ(prm.m_RANGE_MIN_Y.Get(), -6);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MAX_Y.Get(), 74);
    prm.m_RANGE_MIN_X = 360;
    prm.m_RANGE_MAX_X = 1000;
    ASSERT_TRUE(picture_.Execute(GraphCommand::XShiftRight));
    EXPECT_FLOAT_EQ(prm.m_RANGE_MIN_X.Get(), 350);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MAX_X.Get(), 990);
    ASSERT_TRUE(picture_.Execute(GraphCommand::XShiftLeft));
    EXPECT_FLOAT_EQ(prm.m_RANGE_MIN_X.Get(), 410);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MAX_X.Get(), 1050);
    ASSERT_TRUE(picture_.Execute(GraphCommand::XZoomOut));
    EXPECT_FLOAT_EQ(prm.m_RANGE_MIN_X.Get(), 346 < 350 ? 350 : 346);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MAX_X.Get(), 1050);
    // Ratio commands only for the ratio kind with a fixed range; irradiance ones then not.
    EXPECT_FALSE(picture_.Enabled(GraphCommand::RatioZoomIn));
    prm.m_SHOW_KIND = 1;
    EXPECT_FALSE(picture_.Enabled(GraphCommand::RatioZoomIn));
    prm.m_RANGE_AUTO_RATIO = 0;
    EXPECT_TRUE(picture_.Enabled(GraphCommand::RatioShiftDown));
    EXPECT_FALSE(picture_.Enabled(GraphCommand::YZoomIn));
    EXPECT_FALSE(picture_.Execute(GraphCommand::YZoomIn));
    ASSERT_TRUE(picture_.Execute(GraphCommand::RatioShiftDown));
    EXPECT_FLOAT_EQ(prm.m_RANGE_MIN_RATIO.Get(), 20);
    EXPECT_FLOAT_EQ(prm.m_RANGE_MAX_RATIO.Get(), 120);

    // A degree for every four pixels: 100 to the right turn theta by 25, never beyond 90.
    ASSERT_TRUE(picture_.Turn(100, 0));
    EXPECT_FLOAT_EQ(prm.m_ANGLE_THETA.Get(), 70);
    ASSERT_TRUE(picture_.Turn(100, -4));
    EXPECT_FLOAT_EQ(prm.m_ANGLE_THETA.Get(), 90);
    EXPECT_FLOAT_EQ(prm.m_ANGLE_PHI.Get(), 44);
    EXPECT_FALSE(picture_.Turn(3, -3));  // in whole degrees
    // A long drag either way stops short of a flat view.
    ASSERT_TRUE(picture_.Turn(0, -600));
    EXPECT_FLOAT_EQ(prm.m_ANGLE_PHI.Get(), G::kMinElevation);
    ASSERT_TRUE(picture_.Turn(0, 600));
    EXPECT_FLOAT_EQ(prm.m_ANGLE_PHI.Get(), G::kMaxElevation);
    // An elevation set outside the bounds in the settings only turns back toward them.
    prm.m_ANGLE_PHI = 0;
    EXPECT_FALSE(picture_.Turn(0, -40));
    ASSERT_TRUE(picture_.Turn(0, 40));
    EXPECT_FLOAT_EQ(prm.m_ANGLE_PHI.Get(), 10);
}

TEST_F(ThreeDTest, KindNeedsTheStandardRecord) {
    picture_.Prm().m_SHOW_KIND = 2;
    EXPECT_EQ(picture_.Kind(), 2);
    RecordingSurface s(700, 500);
    picture_.DrawGraph(s);
    EXPECT_TRUE(HasText(s, "Difference data : 2009/05/12 10:00:00 - 2009/05/12 10:20:00"));
    picture_.Prm().m_SHOW_KIND = 1;
    s.Clear();
    picture_.DrawGraph(s);
    EXPECT_TRUE(HasText(s, "Ratio[%]"));
    picture_.SetData(set_, nullptr);
    EXPECT_EQ(picture_.Prm().m_SHOW_KIND.Get(), 0);
    EXPECT_FALSE(picture_.StandardPresent());
    picture_.Prm().m_SHOW_KIND = 1;  // as a stored file may say
    EXPECT_EQ(picture_.Kind(), 0);
    picture_.Prm().m_UNIT_Y = 1;
    s.Clear();
    picture_.DrawGraph(s);
    EXPECT_TRUE(HasText(s, "Irradiance[umol/m^2/s/um]"));
}

TEST_F(ThreeDTest, BadInputStaysFiniteAndInsideThePicture) {
    // Records of different lengths and wavelength ranges, one with values that are no numbers.
    CSpectrumDataSet mixed;
    mixed.Append(Measured(t0_), 0, 0);
    CSpectrumData shortOne = Measured(t0_ + 60);
    shortOne.SetSignal(std::vector<float>(100, 500.0f));
    shortOne.SetCalibration(std::vector<float>(100, 0.5f));
    shortOne.SetCoefficient(0, 700.0f);
    mixed.Append(shortOne, 0, 2560);
    CSpectrumData broken = Measured(t0_ + 120);
    std::vector<float> sig(256, 100.0f);
    sig[10] = std::numeric_limits<float>::quiet_NaN();
    sig[20] = std::numeric_limits<float>::infinity();
    broken.SetSignal(sig);
    mixed.Append(broken, 0, 5120);
    mixed.Append(Measured(t0_ + 120), 0, 7680);  // the same second as the one before
    CSpectrumData zeros = Measured(0);
    zeros.SetSignal(std::vector<float>(256, 0.0f));

    const float angles[][2] = {{45, 45}, {0, 0}, {90, 90}, {-45, 200}, {1e9f, -1e9f},
                               {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}};
    const int sizes[][2] = {{800, 600}, {380, 240}, {90, 90}};
    for (int kind = 0; kind < 3; ++kind)
        for (auto& a : angles)
            for (auto& sz : sizes) {
                G p;
                p.Prm().m_SHOW_KIND = kind;
                p.Prm().m_ANGLE_THETA = a[0];
                p.Prm().m_ANGLE_PHI = a[1];
                p.SetData(mixed, &zeros);
                RecordingSurface s(sz[0], sz[1]);
                p.DrawGraph(s);
                const std::string what = "kind " + std::to_string(kind) + " size " + std::to_string(sz[0]) +
                                         " angles " + std::to_string(a[0]) + "," + std::to_string(a[1]);
                ExpectInside(s, sz[0], sz[1], what);
                EXPECT_TRUE(std::isfinite(p.LastLayout().lo) && std::isfinite(p.LastLayout().hi)) << what;
            }
    // Degenerate ranges from a stored file.
    G p;
    p.Prm().m_RANGE_MIN_X = 500;
    p.Prm().m_RANGE_MAX_X = 500;
    p.Prm().m_RANGE_AUTO_Y = 0;
    p.Prm().m_RANGE_MIN_Y = 7;
    p.Prm().m_RANGE_MAX_Y = 7;
    p.SetData(mixed, nullptr);
    RecordingSurface s(400, 300);
    p.DrawGraph(s);
    ExpectInside(s, 400, 300, "degenerate ranges");
    // A picture of one pixel, and of none at all.
    EXPECT_TRUE(p.Render(1, 1));
    EXPECT_FALSE(p.Render(0, 0));
    EXPECT_NE(p.Graph(), nullptr);  // the previous picture stays
}

// The box is never deeper than it is wide: a day of one-minute records keeps its shape, and as the
// ribbons would overlap only every k-th record is drawn, which the title says.
TEST_F(ThreeDTest, DepthIsCappedAndCrowdedRibbonsThinned) {
    EXPECT_EQ(G::Depth(3, 800, 600), 120);
    EXPECT_EQ(G::Depth(14, 800, 600), 780);
    EXPECT_EQ(G::Depth(15, 800, 600), 800);
    EXPECT_EQ(G::Depth(1440, 800, 600), 800);
    EXPECT_EQ(G::Stride(81, 800), 1);  // ribbons exactly side by side
    EXPECT_EQ(G::Stride(82, 800), 2);
    EXPECT_EQ(G::Stride(1440, 800), 18);
    CSpectrumDataSet many;
    for (int i = 0; i < 1000; ++i) many.Append(Measured(t0_ + 60 * i, "", 100.0f + (i % 50)), 0, 2560LL * i);
    picture_.SetData(many, &standard_);
    RecordingSurface s(800, 600);
    picture_.DrawGraph(s);
    EXPECT_EQ(picture_.LastLayout().depth, 800);
    EXPECT_EQ(picture_.LastLayout().stride, 13);
    ExpectInside(s, 800, 600, "1000 records");
    EXPECT_EQ(Curves(s).size(), 3u * 77u);  // records 0, 13, ..., 988
    EXPECT_NE(s.Texts().front().text.find(" (1 in 13 records drawn)"), std::string::npos) << s.Texts().front().text;
}

namespace {

class Set3DGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        prm_.Load();
    }
    template <class T>
    T* Find(QDialog& d, const char* name) {
        T* w = d.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    testsupport::TempWorkDir dir_;
    ScriptedPrompter prompter_;
    C3DGraphPrm prm_;
};

}  // namespace

TEST_F(Set3DGraphTest, WithoutStandardOnlyMeasuredDataAndItsRanges) {
    prm_.m_SHOW_KIND = 2;
    CSet3DGraph d(false);
    d.LoadFromSection(prm_);
    EXPECT_TRUE(Find<QRadioButton>(d, "SHOW_KIND_0")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(d, "SHOW_KIND_1")->isEnabled());
    EXPECT_FALSE(Find<QRadioButton>(d, "SHOW_KIND_2")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(d, "RANGE_AUTO_RATIO")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(d, "RANGE_AUTO_Y")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(d, "RANGE_MIN_Y")->isEnabled());  // auto on
    Find<QCheckBox>(d, "RANGE_AUTO_Y")->setChecked(false);
    EXPECT_TRUE(Find<QLineEdit>(d, "RANGE_MIN_Y")->isEnabled());
    d.accept();
    EXPECT_TRUE(prompter_.Messages().empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    d.StoreToSection(prm_);
    EXPECT_EQ(prm_.m_SHOW_KIND.Get(), 0);
    EXPECT_EQ(prm_.m_RANGE_AUTO_Y.Get(), 0);
}

TEST_F(Set3DGraphTest, RatioKindSwapsTheEnabledRanges) {
    CSet3DGraph d(true);
    d.LoadFromSection(prm_);
    Find<QRadioButton>(d, "SHOW_KIND_1")->setChecked(true);
    for (const char* name : {"RANGE_AUTO_Y", "UNIT_Y_0", "UNIT_Y_1", "RANGE_MIN_Y", "RANGE_MAX_Y"})
        EXPECT_FALSE(d.findChild<QWidget*>(name)->isEnabled()) << name;
    EXPECT_TRUE(Find<QCheckBox>(d, "RANGE_AUTO_RATIO")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(d, "RANGE_MIN_RATIO")->isEnabled());  // auto on by default here
    Find<QCheckBox>(d, "RANGE_AUTO_RATIO")->setChecked(false);
    EXPECT_TRUE(Find<QLineEdit>(d, "RANGE_MIN_RATIO")->isEnabled());
    Find<QRadioButton>(d, "SHOW_KIND_2")->setChecked(true);
    EXPECT_FALSE(Find<QCheckBox>(d, "RANGE_AUTO_RATIO")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(d, "RANGE_AUTO_Y")->isEnabled());
}

TEST_F(Set3DGraphTest, ValidationOrderKeepsTheDialogOpen) {
    CSet3DGraph d(true);
    d.LoadFromSection(prm_);
    auto ok = [&](const std::string& expected) {
        prompter_.Clear();
        d.setResult(QDialog::Rejected);
        d.accept();
        if (expected.empty()) {
            EXPECT_TRUE(prompter_.Messages().empty());
            EXPECT_EQ(d.result(), QDialog::Accepted);
        } else {
            ASSERT_EQ(prompter_.Messages().size(), 1u) << expected;
            EXPECT_EQ(prompter_.Messages()[0], expected);
            EXPECT_EQ(d.result(), QDialog::Rejected);
        }
    };
    Find<QLineEdit>(d, "RANGE_MIN_X")->setText("300");
    ok("Please enter a number between 350 and 1050.");
    Find<QLineEdit>(d, "RANGE_MIN_X")->setText("800");
    Find<QLineEdit>(d, "RANGE_MAX_X")->setText("700");
    Find<QLineEdit>(d, "ANGLE_THETA")->setText("91");
    ok("Please enter a number between 0 and 90.");
    Find<QLineEdit>(d, "ANGLE_THETA")->setText("30");
    Find<QLineEdit>(d, "ANGLE_PHI")->setText("x");
    ok("Please enter a number.");
    Find<QLineEdit>(d, "ANGLE_PHI")->setText("60");
    ok("Invalid x-axis range setting.");
    Find<QLineEdit>(d, "RANGE_MAX_X")->setText("900");
    // A reversed irradiance range counts only while its Auto is off.
    Find<QLineEdit>(d, "RANGE_MIN_Y")->setText("50");
    Find<QLineEdit>(d, "RANGE_MAX_Y")->setText("10");
    Find<QCheckBox>(d, "RANGE_AUTO_Y")->setChecked(false);
    ok("Invalid y-axis range setting");
    // The ratio range is checked for the ratio kind, Auto on or not; the irradiance range is not.
    Find<QRadioButton>(d, "SHOW_KIND_1")->setChecked(true);
    Find<QLineEdit>(d, "RANGE_MIN_RATIO")->setText("100");
    Find<QLineEdit>(d, "RANGE_MAX_RATIO")->setText("0");
    ok("Invalid ratio data range setting.");
    Find<QLineEdit>(d, "RANGE_MAX_RATIO")->setText("150");
    ok("");
    d.StoreToSection(prm_);
    EXPECT_EQ(prm_.m_SHOW_KIND.Get(), 1);
    EXPECT_FLOAT_EQ(prm_.m_RANGE_MIN_X.Get(), 800);
    EXPECT_FLOAT_EQ(prm_.m_RANGE_MAX_RATIO.Get(), 150);
    EXPECT_FLOAT_EQ(prm_.m_ANGLE_THETA.Get(), 30);
    EXPECT_FLOAT_EQ(prm_.m_ANGLE_PHI.Get(), 60);
    EXPECT_EQ(prm_.m_RANGE_AUTO_Y.Get(), 0);
}

TEST_F(ThreeDTest, WindowTurnsByDragAndShowsThePictureItRenders) {
    ScriptedPrompter prompter;
    ASSERT_TRUE(MakeViewFactory().open3DGraph);
    auto* frame = static_cast<C3DGraphWnd*>(MakeViewFactory().open3DGraph("3-D graph", set_, &standard_));
    ASSERT_NE(frame, nullptr);
    FrameSignals recorder(frame);
    Pump();
    C3DGraphView* view = frame->View();
    EXPECT_TRUE(view->Ready());
    EXPECT_EQ(frame->windowTitle(), "3-D graph - Heliarc");
    // Automatic ranges: both value submenus greyed, the wavelength ones not.
    EXPECT_FALSE(frame->IrradianceMenu()->isEnabled());
    EXPECT_FALSE(frame->RatioMenu()->isEnabled());
    EXPECT_TRUE(frame->Action(GraphCommand::XZoomIn)->isEnabled());
    EXPECT_EQ(frame->Action(GraphCommand::XZoomIn)->toolTip(), "Zoom in - Wavelength");
    view->Picture().Prm().m_RANGE_AUTO_Y = 0;
    frame->RefreshCommands();
    EXPECT_TRUE(frame->IrradianceMenu()->isEnabled());

    // The window shows exactly the picture the same settings render elsewhere.
    G same;
    same.LoadSettings();
    same.SetData(set_, &standard_);
    same.Prm().m_RANGE_AUTO_Y = 0;
    ASSERT_TRUE(same.Render(view->width(), view->height()));
    view->Render();
    EXPECT_TRUE(view->grab().toImage().convertToFormat(QImage::Format_RGB32) ==
                same.Graph()->Image().convertToFormat(QImage::Format_RGB32));

    // A drag of 100 pixels to the right, in one-pixel steps, turns theta by 25 degrees.
    const QPointF start(200, 200);
    QMouseEvent press(QEvent::MouseButtonPress, start, view->mapToGlobal(start), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    EXPECT_TRUE(view->Turning());
    for (int i = 1; i <= 100; ++i) {
        const QPointF at(200 + i, 200);
        QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(300, 200), view->mapToGlobal(QPointF(300, 200)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &release);
    EXPECT_FALSE(view->Turning());
    EXPECT_FLOAT_EQ(view->Picture().Prm().m_ANGLE_THETA.Get(), 70);
    // Turning is not saved.
    C3DGraphPrm stored;
    stored.Load();
    EXPECT_FLOAT_EQ(stored.m_ANGLE_THETA.Get(), 45);

    // The settings dialog, confirmed, saves the section; bracketed by the modal messages.
    prompter.modal = [](QDialog& d) {
        d.findChild<QLineEdit*>("ANGLE_PHI")->setText("20");
        d.accept();
        return d.result();
    };
    frame->Action(GraphCommand::Settings)->trigger();
    EXPECT_EQ(recorder.Count("modalOpened"), 1);
    EXPECT_EQ(recorder.Count("modalClosed"), 1);
    stored.Load();
    EXPECT_FLOAT_EQ(stored.m_ANGLE_PHI.Get(), 20);
    EXPECT_FLOAT_EQ(stored.m_ANGLE_THETA.Get(), 70);

    // The picture keeps to the window however small it gets.
    frame->resize(1, 1);
    Pump();
    EXPECT_GE(frame->width(), C3DGraphWnd::kMinWidth);
    ASSERT_NE(view->Picture().Graph(), nullptr);
    EXPECT_EQ(view->Picture().Graph()->Width(), view->width());

    frame->close();
    Pump();
    EXPECT_EQ(recorder.Count("closed"), 1);
}

TEST_F(ThreeDTest, CopySaveAndPrintUseThePicture) {
    ScriptedPrompter prompter;
    auto* frame = static_cast<C3DGraphWnd*>(MakeViewFactory().open3DGraph("3-D graph", set_, nullptr));
    ASSERT_NE(frame, nullptr);
    C3DGraphView* view = frame->View();
    EXPECT_EQ(view->Picture().Kind(), 0);
    const std::string path = dir_.Path() + "/3d.bmp";
    prompter.paths.push_back(path);
    frame->Action(GraphCommand::Save)->trigger();
    const std::string bytes = testsupport::ReadFileBytes(path);
    const int w = view->width(), h = view->height();
    const std::size_t row = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    EXPECT_EQ(bytes.size(), 54 + row * static_cast<std::size_t>(h));
    frame->Action(GraphCommand::Copy)->trigger();
    EXPECT_TRUE(prompter.Messages().empty() || prompter.Messages().back() == "Copy to clipboard failure.");
    frame->Action(GraphCommand::Print)->trigger();
    EXPECT_EQ(prompter.Count("print"), 1);
    frame->close();
    Pump();
}
