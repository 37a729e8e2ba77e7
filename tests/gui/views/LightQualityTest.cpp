// The light quality picture and window: grouped values with n/a and partial bands, the xy diagram
// with the loci and the record's point, the shaded spectrum, and the window following new records.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "gui/quality/LightQualityView.h"
#include "gui/quality/LightQualityWnd.h"
#include "gui/shell/ViewFactory.h"
#include "render/DataGraphPicture.h"
#include "render/LightQualityPicture.h"
#include "render/QtSurfaceImage.h"
#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/metrics/MetricsTestUtil.h"

using namespace viewstest;
using P = CLightQualityPicture;

namespace {

const std::string& S(int id) { return platform::LoadString(id); }

// Illuminant A and D65 at about daylight levels, 350..1050 nm like the instrument.
std::shared_ptr<const CSpectrumData> Illuminant(const char* name, double scale) {
    return std::make_shared<CSpectrumData>(metricstest::RecordOf(metricstest::ReadSpd(name), 350.0f, 1050.0f, 256, scale));
}

QRgb PixelAt(const P& picture, SurfacePoint p) { return picture.Graph()->Image().pixel(p.x, p.y); }

const QRgb kPointRgb = qRgb(0xFF, 0, 0);  // kPointColor is 0x00BBGGRR

class LightQualityTest : public ::testing::Test {
protected:
    void SetUp() override { App(); }
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    std::shared_ptr<const CSpectrumData> a_ = Illuminant("cie_illuminant_a", 10.0);
    std::shared_ptr<const CSpectrumData> d65_ = Illuminant("cie_illuminant_d65", 10.0);
};

}  // namespace

TEST_F(LightQualityTest, ValuesGroupedWithUnitsNotAvailableAndPartial) {
    P picture;
    picture.Show(a_);
    RecordingSurface s(800, 600);
    picture.Draw(s);
    const metrics::LightMetrics& m = picture.Metrics();
    for (int id : {ids::kPlantGroup, ids::kColourGroup, ids::kSolarGroup, ids::kCsvPpfd, ids::kCsvCct, ids::kCsvMelanopicEdi})
        EXPECT_TRUE(HasText(s, S(id))) << S(id);
    EXPECT_TRUE(HasText(s, platform::FormatG(m.Get(metrics::kPpfd), "%.1f")));
    EXPECT_TRUE(HasText(s, platform::FormatG(m.Get(metrics::kCct), "%.0f")));
    // UV-A starts below the first pixel: said so; UV-B (the first solar band) lies wholly below it.
    EXPECT_TRUE(HasText(s, platform::FormatG(m.Get(metrics::kPfdUva), "%.1f") + " (" + S(ids::kPartialBand) + ")"));
    std::vector<P::Line> lines = picture.Lines();
    const auto uvb = std::find_if(lines.begin(), lines.end(), [](const P::Line& l) {
        return l.label == FormatText(S(ids::kCsvSolarRatio), {280, 315});
    });
    ASSERT_NE(uvb, lines.end());
    EXPECT_EQ(uvb->value, S(ids::kNotAvailable));

    // No record: a title that says so and nothing but n/a.
    picture.Show(nullptr);
    s.Clear();
    picture.Draw(s);
    EXPECT_TRUE(HasText(s, S(ids::kNoRecordShown)));
    for (const P::Line& l : picture.Lines())
        if (!l.heading) {
            EXPECT_NE(l.value.find(S(ids::kNotAvailable)), std::string::npos) << l.label;
        }
    EXPECT_TRUE(s.CallsOf(RecordedCall::Kind::Ellipse).empty());
}

TEST_F(LightQualityTest, DiagramLociAndThePointOfIlluminantA) {
    P picture;
    picture.Show(a_);
    RecordingSurface s(800, 600);
    picture.Draw(s);
    const metrics::LightMetrics& m = picture.Metrics();
    const SurfacePoint point = picture.DiagramPoint(m.Get(metrics::kChromaticityX), m.Get(metrics::kChromaticityY));
    const std::vector<RecordedCall> dots = s.CallsOf(RecordedCall::Kind::Ellipse);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ((dots[0].rect.left + dots[0].rect.right) / 2, point.x);
    EXPECT_EQ((dots[0].rect.top + dots[0].rect.bottom) / 2, point.y);

    const std::vector<RecordedCall> lines = s.CallsOf(RecordedCall::Kind::Polyline);
    const RecordedCall* locus = nullptr;
    const RecordedCall* planck = nullptr;
    for (const RecordedCall& c : lines) {
        if (c.pen.color == P::kSpectrumLocusColor && c.points.size() > 400) locus = &c;
        if (c.pen.color == P::kPlanckianColor && c.points.size() > 50) planck = &c;
    }
    ASSERT_TRUE(locus && planck);
    // The locus is closed by the purple line and spans the diagram: 520 nm near (0.074, 0.834).
    EXPECT_EQ(locus->points.front(), locus->points.back());
    const SurfacePoint green = picture.DiagramPoint(0.0743, 0.8338);
    EXPECT_TRUE(std::any_of(locus->points.begin(), locus->points.end(), [&](SurfacePoint p) {
        return std::abs(p.x - green.x) <= 2 && std::abs(p.y - green.y) <= 2;
    }));
    // Illuminant A is a Planckian radiator: its point lies on the drawn Planckian locus.
    int nearest = 1 << 30;
    for (SurfacePoint p : planck->points) nearest = std::min(nearest, std::abs(p.x - point.x) + std::abs(p.y - point.y));
    EXPECT_LE(nearest, 4);
    // Each plant band is shaded inside the spectrum's plot.
    for (std::uint32_t color : {0xF0C8E0u, 0xFFD8C8u, 0xC8F0C8u, 0xC8C8FFu, 0xA8A8D8u}) {
        const auto fills = s.CallsOf(RecordedCall::Kind::FillRect);
        EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [&](const RecordedCall& c) {
            return c.color == color && c.rect.left >= picture.SpectrumRect().left && c.rect.right <= picture.SpectrumRect().right;
        })) << std::hex << color;
    }
}

TEST_F(LightQualityTest, WindowFollowsNewRecordsAndSavesItsPicture) {
    const CViewFactory factory = MakeViewFactory();
    QWidget* frame = factory.openLightQuality("Light quality", a_);
    auto* wnd = dynamic_cast<CLightQualityWnd*>(frame);
    ASSERT_NE(wnd, nullptr);
    wnd->resize(900, 650);
    Pump();
    const P& picture = wnd->View()->Picture();
    ASSERT_NE(picture.Graph(), nullptr);
    EXPECT_EQ(picture.Graph()->Image().width(), wnd->View()->width());
    auto pointOf = [&] {
        return picture.DiagramPoint(picture.Metrics().Get(metrics::kChromaticityX), picture.Metrics().Get(metrics::kChromaticityY));
    };
    const SurfacePoint pointA = pointOf();
    EXPECT_EQ(PixelAt(picture, pointA), kPointRgb);

    factory.showLightQuality(frame, d65_);
    EXPECT_EQ(picture.Record(), d65_);
    const SurfacePoint pointD65 = pointOf();
    EXPECT_GT(pointA.x - pointD65.x, 20);  // A is far redder than D65
    EXPECT_EQ(PixelAt(picture, pointD65), kPointRgb);
    EXPECT_NE(PixelAt(picture, pointA), kPointRgb);
    // The spectrum's curve is drawn over the shaded bands.
    const SurfaceRect& r = picture.SpectrumRect();
    int dark = 0;
    for (int x = r.left + 2; x < r.right - 2; x += 5)
        for (int y = r.top + 2; y < r.bottom - 2; ++y) dark += qGray(picture.Graph()->Image().pixel(x, y)) < 64;
    EXPECT_GT(dark, 50);

    ScriptedPrompter prompter;
    testsupport::TempWorkDir dir;
    const std::string path = dir.Path() + "/quality.bmp";
    prompter.paths.push_back(path);
    ASSERT_NE(wnd->Action(GraphCommand::Save), nullptr);
    wnd->Action(GraphCommand::Save)->trigger();
    std::ifstream saved(path, std::ios::binary);
    char magic[2] = {};
    saved.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
    EXPECT_EQ(wnd->Action(GraphCommand::Settings), nullptr);
    wnd->close();
    Pump();
}
