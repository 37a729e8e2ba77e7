#include <gtest/gtest.h>

#include "core/data/SpectrumData.h"
#include "core/graph/RecordingSurface.h"
#include "core/graph/ThumbnailRender.h"

using Kind = RecordedCall::Kind;

namespace {

GraphSeries Spectrum() {
    GraphSeries s;
    for (int nm = 350; nm <= 1050; nm += 50) s.Append(nm, nm < 700 ? nm - 340 : 1060 - nm);
    return s;
}

}  // namespace

TEST(Thumbnail, TileMapsTheLogicalCanvasOntoItsPixels) {
    RecordingSurface surface(200, 450);
    ThumbnailTile tile{0, 150, 200, 150, true};
    RenderThumbnailTile(surface, Spectrum(), tile);
    std::vector<RecordedCall> fills = surface.CallsOf(Kind::FillRect);
    ASSERT_GE(fills.size(), 2u);
    // The selection colour spills 10 units round the tile; the plot is grey over it.
    EXPECT_EQ(fills[0].rect, (SurfaceRect{-5, 145, 205, 305}));
    EXPECT_EQ(fills[0].color, 0x804040u);
    EXPECT_EQ(fills[1].rect, (SurfaceRect{25, 155, 175, 285}));
    EXPECT_EQ(fills[1].color, 0xEBEBEBu);
    // Wavelength ticks 400 .. 1000 on 350 .. 1050 with the grid, half-size labels, red curve.
    std::vector<RecordedCall> grid = surface.LinesWith(PenStyle::Dotted);
    ASSERT_GE(grid.size(), 7u);
    EXPECT_EQ(grid[0].points[0], (SurfacePoint{36, 155}));  // logical 71
    EXPECT_EQ(surface.Texts().front().text, "400");
    EXPECT_EQ(surface.Texts().front().font.pixelHeight, 5);  // 9 units at half scale
    bool red = false;
    for (const RecordedCall& c : surface.CallsOf(Kind::Polyline)) {
        if (c.pen.color == 0x0000FF && c.points.size() == 15) red = true;
    }
    EXPECT_TRUE(red);
    // The Y range was snapped to the data: 10 .. 360 gives outer ticks 0 .. 400.
    EXPECT_EQ(surface.Texts().back().text, "400");
    EXPECT_EQ(surface.GetMapMode(), MapMode::Text) << "mapping restored";
    EXPECT_EQ(surface.ViewportOrg(), (SurfacePoint{0, 0}));
}

TEST(Thumbnail, EmptySpectrumShowsOnlyTheSelection) {
    RecordingSurface surface(400, 300);
    RenderThumbnailTile(surface, GraphSeries{}, ThumbnailTile{0, 0, 400, 300, false});
    EXPECT_TRUE(surface.Calls().empty());
    RenderThumbnailTile(surface, GraphSeries{}, ThumbnailTile{0, 0, 400, 300, true});
    ASSERT_EQ(surface.Calls().size(), 1u);
    EXPECT_EQ(surface.Calls()[0].color, 0x804040u);
    surface.Clear();
    RenderThumbnailTile(surface, Spectrum(), ThumbnailTile{0, 0, 0, 300, true});
    EXPECT_TRUE(surface.Calls().empty()) << "a tile without pixels draws nothing";
}

TEST(Thumbnail, TileCountComesClosestToTheTileShape) {
    EXPECT_EQ(ThumbnailTileCount(400, 900), 3);
    EXPECT_EQ(ThumbnailTileCount(400, 300), 1);
    EXPECT_EQ(ThumbnailTileCount(400, 200), 1);
    EXPECT_EQ(ThumbnailTileCount(400, 700), 2);   // 350:400 beats 233:400
    EXPECT_EQ(ThumbnailTileCount(400, 750), 3);   // 250:400 beats 375:400
    EXPECT_EQ(ThumbnailTileCount(0, 500), 1);
    EXPECT_EQ(ThumbnailTileCount(500, 0), 1);
    EXPECT_EQ(ThumbnailTileTop(1, 3, 1000), 333);
    EXPECT_EQ(ThumbnailTileTop(2, 3, 1000), 666);
    EXPECT_EQ(ThumbnailTileHeight(3, 1000), 333);
}

TEST(Thumbnail, StackFillsWhiteAndDrawsOneTilePerVisibleRecord) {
    CSpectrumData standard;
    standard.LoadJisStandard();
    const CSpectrumData empty;  // no pixels: no points between 350 and 1050 nm
    const std::vector<const CSpectrumData*> records = {&standard, &empty, &standard};
    RecordingSurface surface(400, 900);
    // Three tiles of 300 pixels starting at record 1: records 1 and 2 show, the last tile stays white.
    RenderThumbnailStack(surface, records, 1, 3, [](int i) { return i == 1; });
    std::vector<RecordedCall> fills = surface.CallsOf(Kind::FillRect);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0].rect, (SurfaceRect{0, 0, 400, 900}));
    EXPECT_EQ(fills[0].color, 0xFFFFFFu);
    EXPECT_EQ(fills[1].rect, (SurfaceRect{-10, -10, 410, 310})) << "record 1, selected, has no curve";
    EXPECT_EQ(fills[1].color, 0x804040u);
    EXPECT_EQ(fills[2].rect, (SurfaceRect{50, 310, 350, 570})) << "record 2 in the second tile";
    EXPECT_EQ(fills[2].color, 0xEBEBEBu);
    EXPECT_EQ(surface.CallsOf(Kind::FrameRect).size(), 1u);

    surface.Clear();
    RenderThumbnailStack(surface, records, 5, 3, nullptr);
    EXPECT_EQ(surface.Calls().size(), 1u) << "past the end: only the white background";
}
