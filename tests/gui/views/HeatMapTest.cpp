// The heat map: a known run lands on known pixels with its gap left empty, the read-out, and the
// window shows the picture the CLI writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QMouseEvent>
#include <cmath>

#include "gui/heatmap/HeatMapView.h"
#include "gui/heatmap/HeatMapWnd.h"
#include "render/HeatMapPicture.h"
#include "render/QtSurfaceImage.h"
#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace viewstest;

namespace {

class HeatMapTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    void SetUp() override {
        App();
        t0_ = datatest::Local(2009, 5, 12, 10, 0, 0);
        // Five one-minute records, then a pause of seven minutes, then two more.
        const int minutes[] = {0, 1, 2, 3, 4, 12, 13};
        for (int k = 0; k < 7; ++k) {
            records_.push_back(Measured(t0_ + 60 * minutes[k], "", 100.0f * k));
            set_.Append(records_.back(), 0, 2560 * k);
        }
        picture_.SetData(set_, nullptr);
        ASSERT_TRUE(picture_.Render(700, 500));
        ASSERT_TRUE(picture_.Graph()->ReadPixels(pixels_));
    }
    // The map's row at time t (the middle of its rows).
    int RowOf(double t) const {
        const SurfaceRect& plot = picture_.PlotRect();
        return static_cast<int>((t - picture_.TopTime()) / (picture_.BottomTime() - picture_.TopTime()) *
                                (plot.bottom - plot.top));
    }
    platform::CalTime t0_ = 0;
    std::vector<CSpectrumData> records_;
    CSpectrumDataSet set_;
    CHeatMapPicture picture_;
    RgbImage pixels_;
};

}  // namespace

TEST_F(HeatMapTest, KnownSpectraLandOnKnownPixelsAndGapsStayEmpty) {
    const SurfaceRect& plot = picture_.PlotRect();
    EXPECT_EQ(picture_.TopTime(), t0_ - 30.0);
    EXPECT_EQ(picture_.BottomTime(), t0_ + 13 * 60 + 30.0);
    EXPECT_EQ(picture_.Low(), 0.0);
    const int columns = plot.right - plot.left;
    const int times[] = {0, 1, 2, 3, 4, 12, 13};
    for (int k = 0; k < 7; ++k) {
        const int row = RowOf(t0_ + 60.0 * times[k]);
        EXPECT_EQ(picture_.RowRecords()[static_cast<std::size_t>(row)], k) << k;
        for (int col = 0; col < columns; col += 37) {
            const double nm = 350 + (col + 0.5) * 700.0 / columns;
            const double v = records_[static_cast<std::size_t>(k)].IrradianceAt(static_cast<float>(nm), 0);
            const std::uint32_t want = CHeatMapPicture::Colour((v - picture_.Low()) / (picture_.High() - picture_.Low()));
            ASSERT_EQ(pixels_.At(plot.left + col, plot.top + row), want) << "record " << k << " column " << col;
            const auto reading = picture_.ReadAt(plot.left + col, plot.top + row);
            ASSERT_TRUE(reading);
            EXPECT_EQ(reading->time, records_[static_cast<std::size_t>(k)].GetTime());
            EXPECT_NEAR(reading->wavelength, nm, 1e-9);
            EXPECT_FLOAT_EQ(static_cast<float>(reading->value), static_cast<float>(v));
        }
    }
    // From a minute past the fifth record to a minute before the sixth nothing was measured.
    for (int row = RowOf(t0_ + 5 * 60 + 1); row <= RowOf(t0_ + 11 * 60 - 1); ++row) {
        EXPECT_EQ(picture_.RowRecords()[static_cast<std::size_t>(row)], -1) << row;
        EXPECT_EQ(pixels_.At(plot.left + columns / 2, plot.top + row), CHeatMapPicture::kEmptyColor) << row;
        EXPECT_FALSE(picture_.ReadAt(plot.left + 5, plot.top + row));
    }
    // The colour map runs from dark blue to yellow, brighter all the way.
    const auto luma = [](std::uint32_t c) { return 0.3 * (c & 0xFF) + 0.59 * ((c >> 8) & 0xFF) + 0.11 * (c >> 16); };
    for (int i = 1; i <= 20; ++i) EXPECT_GT(luma(CHeatMapPicture::Colour(i / 20.0)), luma(CHeatMapPicture::Colour((i - 1) / 20.0)));
}

TEST_F(HeatMapTest, WindowShowsThePictureWithTheReadOutOverIt) {
    auto* frame = new CHeatMapWnd("Heat map");
    frame->show();
    frame->View()->SetData(set_, &records_[3]);
    for (GraphCommand c : {GraphCommand::Copy, GraphCommand::Save, GraphCommand::Print, GraphCommand::ShowRatio})
        EXPECT_TRUE(frame->Action(c)) << static_cast<int>(c);
    CHeatMapView* view = frame->View();
    CHeatMapPicture same;
    same.SetData(set_, &records_[3]);
    ASSERT_TRUE(same.Render(view->width(), view->height()));
    EXPECT_TRUE(view->Picture().Graph()->Image() == same.Graph()->Image());
    // The ratio to the standard: its own record reads 100 %.
    frame->Action(GraphCommand::ShowRatio)->trigger();
    EXPECT_TRUE(frame->Action(GraphCommand::ShowRatio)->isChecked());
    const SurfaceRect& plot = view->Picture().PlotRect();
    const int row = static_cast<int>((t0_ + 180 - view->Picture().TopTime()) /
                                     (view->Picture().BottomTime() - view->Picture().TopTime()) * (plot.bottom - plot.top));
    const auto reading = view->Picture().ReadAt(plot.left + 100, plot.top + row);
    ASSERT_TRUE(reading);
    EXPECT_NEAR(reading->value, 100.0, 1e-3);
    // The read-out follows the mouse and is no part of the picture.
    const QImage before = view->Picture().Graph()->Image();
    QMouseEvent move(QEvent::MouseMove, QPointF(plot.left + 100, plot.top + row), QPointF(), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    ASSERT_TRUE(view->Cursor());
    EXPECT_EQ(*view->Cursor(), QPoint(plot.left + 100, plot.top + row));
    EXPECT_TRUE(view->grab().toImage().convertToFormat(QImage::Format_RGB32) !=
                before.convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(view->Picture().Graph()->Image() == before);
    frame->close();
    Pump();
}
