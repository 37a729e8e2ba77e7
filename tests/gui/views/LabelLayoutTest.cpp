// Text laid out from the picture's size: at a small, the usual and a large size every label of the
// three graphs lies inside the picture and apart from the others, the tick labels grow with the
// picture, and the spectrum legend stays whole inside a window that shrinks.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/data/SpectrumDataSet.h"
#include "render/3DGraphPicture.h"
#include "render/DataGraphPicture.h"
#include "render/NumericalGraphPicture.h"
#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace viewstest;

namespace {

// A recorded text's box, turned a quarter either way as drawn.
SurfaceRect BoxOf(const RecordedCall& t) {
    const SurfaceSize e = RecordingSurface::MeasureText(t.text, t.font.pixelHeight);
    int along = 0, across = 0;
    if ((t.align & TextAlign::kHorizontalMask) == TextAlign::kRight) along = -e.cx;
    if ((t.align & TextAlign::kHorizontalMask) == TextAlign::kCenter) along = -e.cx / 2;
    if ((t.align & TextAlign::kVerticalMask) == TextAlign::kBottom) across = -e.cy;
    if ((t.align & TextAlign::kVerticalMask) == TextAlign::kBaseline) across = -e.cy * 3 / 4;
    const SurfacePoint p = t.points.at(0);
    if (t.font.escapement == 900) return {p.x + across, p.y - along - e.cx, p.x + across + e.cy, p.y - along};
    if (t.font.escapement == -900) return {p.x - across - e.cy, p.y + along, p.x - across, p.y + along + e.cx};
    return {p.x + along, p.y + across, p.x + along + e.cx, p.y + across + e.cy};
}

void ExpectInsideAndApart(const std::vector<SurfaceRect>& boxes, const std::vector<std::string>& names, int w, int h) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const SurfaceRect& a = boxes[i];
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= w && a.bottom <= h)
            << "'" << names[i] << "' leaves " << w << "x" << h << " at " << a.left << "," << a.top << "-" << a.right
            << "," << a.bottom;
        for (std::size_t j = 0; j < i; ++j) {
            const SurfaceRect& b = boxes[j];
            EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                << "'" << names[i] << "' covers '" << names[j] << "' at " << w << "x" << h;
        }
    }
}

void ExpectTextsInsideAndApart(const RecordingSurface& s) {
    std::vector<SurfaceRect> boxes;
    std::vector<std::string> names;
    for (const RecordedCall& t : s.Texts()) {
        boxes.push_back(BoxOf(t));
        names.push_back(t.text);
    }
    ExpectInsideAndApart(boxes, names, s.Width(), s.Height());
}

int TallestText(const RecordingSurface& s) {
    int most = 0;
    for (const RecordedCall& t : s.Texts()) most = std::max(most, t.font.pixelHeight);
    return most;
}

class LabelLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        t0_ = datatest::Local(2009, 5, 12, 10, 0, 0);
        for (int i = 0; i < 3; ++i) set_.Append(Measured(t0_ + 600 * i, "r", 100.0f + 50.0f * i), 0, 2560 * i);
    }
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    long long t0_ = 0;
    CSpectrumDataSet set_;
};

const SurfaceSize kSizes[] = {{420, 300}, {700, 500}, {1800, 1000}};

}  // namespace

TEST_F(LabelLayoutTest, SpectrumLabelsStayInsideAndApartAndGrowWithThePicture) {
    CDataGraphPicture p;
    p.LoadSettings();
    const CSpectrumData standard = Measured(t0_ - 3600, "std", 200.0f);
    p.ShowMeasured(*set_.Record(0), &standard);
    p.Prm().m_SHOW_RATIO_DATA = 1;
    p.Prm().m_SHOW_PAR_PTM_LUX = 1;
    int small = 0, large = 0;
    for (const SurfaceSize& size : kSizes) {
        RecordingSurface s(size.cx, size.cy);
        p.DrawGraph(s);
        ExpectTextsInsideAndApart(s);
        (size.cx < 700 ? small : large) = TallestText(s);
    }
    EXPECT_GE(large, 2 * small);
}

TEST_F(LabelLayoutTest, CalculationLabelsStayInsideAndApart) {
    CNumericalGraphPicture p;
    p.LoadSettings();
    p.ShowRecords(set_);
    for (const SurfaceSize& size : kSizes) {
        RecordingSurface s(size.cx, size.cy);
        p.DrawGraph(s);
        ExpectTextsInsideAndApart(s);
    }
}

TEST_F(LabelLayoutTest, ThreeDLabelsStayInsideAndApartAtAnyAngle) {
    C3DGraphPicture p;
    p.LoadSettings();
    p.SetData(set_, nullptr);
    const float angles[][2] = {{45, 45}, {0, 10}, {90, 80}, {20, 70}};
    for (const SurfaceSize& size : kSizes)
        for (const auto& a : angles) {
            p.Prm().m_ANGLE_THETA = a[0];
            p.Prm().m_ANGLE_PHI = a[1];
            RecordingSurface s(size.cx, size.cy);
            p.DrawGraph(s);
            std::vector<std::string> names;
            for (const RecordedCall& t : s.Texts()) names.push_back(t.text);
            ASSERT_EQ(p.LastLayout().labels.size(), names.size());
            ExpectInsideAndApart(p.LastLayout().labels, names, size.cx, size.cy);
            // The wavelength title lies below the floor's front edge, off the spectra.
            ExpectTextsInsideAndApart(s);
        }
}

TEST_F(LabelLayoutTest, LegendStaysWholeInsideAShrinkingPicture) {
    CDataGraphPicture p;
    p.LoadSettings();
    p.ShowMeasured(*set_.Record(0), nullptr);
    ASSERT_TRUE(p.Render(2000, 1200));
    p.SetLegendPosition({1900, 1150});
    ASSERT_TRUE(p.Compose());
    for (const SurfaceSize& size : {kSizes[2], kSizes[1], kSizes[0]}) {
        ASSERT_TRUE(p.Render(size.cx, size.cy));
        EXPECT_GT(p.LegendSize().cx, 0);
        const SurfacePoint at = p.LegendPosition();
        EXPECT_GE(at.x, 0);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.x + p.LegendSize().cx, size.cx);
        EXPECT_LE(at.y + p.LegendSize().cy, size.cy);
    }
}
