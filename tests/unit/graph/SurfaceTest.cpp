#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/graph/RecordingSurface.h"

using Kind = RecordedCall::Kind;

TEST(Surface, AnisotropicMappingScalesEachAxis) {
    RecordingSurface s(200, 450);
    s.SetMapMode(MapMode::Anisotropic);
    s.SetWindowExt(400, 300);
    s.SetViewportExt(200, 150);
    s.SetViewportOrg(0, 300);
    EXPECT_EQ(s.ToDevice(SurfacePoint{50, 10}), (SurfacePoint{25, 305}));
    EXPECT_EQ(s.ToDevice(SurfacePoint{350, 270}), (SurfacePoint{175, 435}));
    s.Line(0, 0, 400, 300);
    ASSERT_EQ(s.Calls().size(), 1u);
    EXPECT_THAT(s.Calls()[0].points, ::testing::ElementsAre(SurfacePoint{0, 300}, SurfacePoint{200, 450}));
    // Fonts and measured extents follow the vertical scale.
    s.SelectFont(SurfaceFont{"Tahoma", -18, 0});
    s.TextOut(0, 0, "ab");
    EXPECT_EQ(s.Texts().back().font.pixelHeight, 9);
    EXPECT_EQ(s.TextExtent("ab"), (SurfaceSize{20, 18}));
}

TEST(Surface, IsotropicMappingGrantsTheSmallerScale) {
    RecordingSurface s(800, 600);
    s.SetMapMode(MapMode::Isotropic);
    s.SetWindowExt(100, 100);
    s.SetViewportExt(400, -200);
    EXPECT_EQ(s.ViewportExt(), (SurfaceSize{200, -200}));
    s.SetWindowOrg(10, 20);
    s.SetViewportOrg(300, 300);
    EXPECT_EQ(s.ToDevice(SurfacePoint{10, 20}), (SurfacePoint{300, 300}));
    EXPECT_EQ(s.ToDevice(SurfacePoint{20, 30}), (SurfacePoint{320, 280}));
    // Back to text mode: pixels again, origins kept.
    s.SetMapMode(MapMode::Text);
    EXPECT_EQ(s.ToDevice(SurfacePoint{20, 30}), (SurfacePoint{310, 310}));
}

TEST(Surface, ZeroExtentsAreRefused) {
    RecordingSurface s;
    s.SetMapMode(MapMode::Anisotropic);
    s.SetWindowExt(0, 300);
    s.SetViewportExt(100, 0);
    EXPECT_EQ(s.WindowExt(), (SurfaceSize{1, 1}));
    EXPECT_EQ(s.ViewportExt(), (SurfaceSize{1, 1}));
}

TEST(Surface, RecordsStateWithEachCall) {
    RecordingSurface s;
    s.SetMapMode(MapMode::Anisotropic);
    s.SetWindowExt(1, 1);
    s.SetViewportExt(2, 2);
    s.SelectPen(SurfacePen{PenStyle::Solid, 20, 0x404000, PenCap::Flat});
    s.SetRasterOp(RasterOp::Xor);
    s.SetClipRect({10, 10, 100, 100});
    s.Line(5, 0, 5, 50);
    const RecordedCall& c = s.Calls().back();
    EXPECT_EQ(c.pen.width, 40);
    EXPECT_EQ(c.pen.cap, PenCap::Flat);
    EXPECT_EQ(c.rop, RasterOp::Xor);
    EXPECT_TRUE(c.clipped);
    EXPECT_EQ(c.clip, (SurfaceRect{20, 20, 200, 200}));
    s.ClearClip();
    s.SetRasterOp(RasterOp::Copy);
    s.Rectangle({0, 0, 0, 10});  // empty: nothing drawn
    s.Polyline({{1, 1}});        // one point: nothing drawn
    EXPECT_EQ(s.Calls().size(), 1u);
}

TEST(Surface, BlockCopyKeepsToTheSourcePicture) {
    RecordingSurface s;
    RgbImage img;
    ASSERT_TRUE(img.Resize(10, 10));
    s.BlockCopy(100, 100, img, -5, 5, 20, 20);
    ASSERT_EQ(s.CallsOf(Kind::Copy).size(), 1u);
    const RecordedCall c = s.CallsOf(Kind::Copy)[0];
    EXPECT_EQ(c.rect, (SurfaceRect{105, 100, 115, 105}));
    EXPECT_THAT(c.points, ::testing::ElementsAre(SurfacePoint{0, 5}, SurfacePoint{10, 10}));
    s.BlockCopy(0, 0, img, 20, 20, 5, 5);
    EXPECT_EQ(s.CallsOf(Kind::Copy).size(), 1u);
}
