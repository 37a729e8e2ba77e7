#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>

#include "core/graph/DIB.h"
#include "core/graph/DataGraph.h"
#include "core/graph/ThumbnailRender.h"
#include "render/QtSurfaceImage.h"

namespace {

// Fonts need a GUI application; the test runs on the offscreen platform.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_gui_surface";
        static char* argv[] = {name, nullptr};
        app_ = new QGuiApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QGuiApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

std::uint32_t Pixel(const QtSurfaceImage& s, int x, int y) {
    const QRgb c = s.Image().pixel(x, y);
    return static_cast<std::uint32_t>(qRed(c)) | (static_cast<std::uint32_t>(qGreen(c)) << 8) |
           (static_cast<std::uint32_t>(qBlue(c)) << 16);
}

}  // namespace

TEST(QtSurface, DrawsARedLineWhereAsked) {
    auto s = QtSurfaceImage::Create(100, 80);
    ASSERT_TRUE(s);
    EXPECT_EQ(Pixel(*s, 50, 40), 0xFFFFFFu) << "a new surface is white";
    s->SelectPen(SurfacePen{PenStyle::Solid, 1, 0x0000FF});
    s->Line(10, 40, 90, 40);
    for (int x = 10; x < 90; ++x) EXPECT_EQ(Pixel(*s, x, 40), 0x0000FFu) << x;
    EXPECT_EQ(Pixel(*s, 50, 39), 0xFFFFFFu);
    EXPECT_EQ(Pixel(*s, 50, 41), 0xFFFFFFu);
    EXPECT_EQ(Pixel(*s, 5, 40), 0xFFFFFFu);

    // Through a mapping: logical 0..400 onto 0..100.
    s->SetMapMode(MapMode::Anisotropic);
    s->SetWindowExt(400, 300);
    s->SetViewportExt(100, 75);
    s->Line(200, 0, 200, 300);
    EXPECT_EQ(Pixel(*s, 50, 20), 0x0000FFu);
    EXPECT_EQ(Pixel(*s, 49, 20), 0xFFFFFFu);
}

TEST(QtSurface, FillsFramesXorAndClip) {
    auto s = QtSurfaceImage::Create(60, 60);
    ASSERT_TRUE(s);
    s->FillRect({10, 10, 20, 20}, 0xEBEBEB);
    EXPECT_EQ(Pixel(*s, 10, 10), 0xEBEBEBu);
    EXPECT_EQ(Pixel(*s, 19, 19), 0xEBEBEBu);
    EXPECT_EQ(Pixel(*s, 20, 20), 0xFFFFFFu) << "right and bottom edges exclusive";
    s->FrameRect({30, 30, 41, 41}, 0x00FF00);
    EXPECT_EQ(Pixel(*s, 30, 35), 0x00FF00u);
    EXPECT_EQ(Pixel(*s, 40, 35), 0x00FF00u);
    EXPECT_EQ(Pixel(*s, 35, 35), 0xFFFFFFu);

    // A white pen under XOR inverts, and a second pass restores.
    s->SelectPen(SurfacePen{PenStyle::Solid, 1, 0xFFFFFF});
    s->SetRasterOp(RasterOp::Xor);
    s->Line(15, 0, 15, 59);
    EXPECT_EQ(Pixel(*s, 15, 5), 0x000000u);
    EXPECT_EQ(Pixel(*s, 15, 12), 0x141414u);
    RgbImage pixels;
    ASSERT_TRUE(s->ReadPixels(pixels));
    EXPECT_EQ(pixels.At(15, 5), 0x000000u);
    EXPECT_EQ(pixels.At(15, 12), 0x141414u);
    EXPECT_EQ(pixels.At(10, 10), 0xEBEBEBu);
    s->Line(15, 0, 15, 59);
    EXPECT_EQ(Pixel(*s, 15, 5), 0xFFFFFFu);
    EXPECT_EQ(Pixel(*s, 15, 12), 0xEBEBEBu);
    s->SetRasterOp(RasterOp::Copy);

    s->SetClipRect({0, 0, 30, 60});
    s->SelectPen(SurfacePen{PenStyle::Solid, 1, 0xFF0000});
    s->Line(0, 50, 59, 50);
    EXPECT_EQ(Pixel(*s, 29, 50), 0xFF0000u);
    EXPECT_EQ(Pixel(*s, 31, 50), 0xFFFFFFu);
}

TEST(QtSurface, TextIsDrawnAndMeasured) {
    auto s = QtSurfaceImage::Create(200, 100);
    ASSERT_TRUE(s);
    s->SelectFont(SurfaceFont{"Tahoma", -12, 0});
    const SurfaceSize flat = s->TextExtent("Wavelength");
    EXPECT_GT(flat.cx, 30);
    EXPECT_GE(flat.cy, 12);
    s->SetTextAlign(TextAlign::kLeft | TextAlign::kTop);
    s->TextOut(10, 10, "Wavelength");
    int dark = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (Pixel(*s, x, y) != 0xFFFFFFu) {
                ++dark;
                EXPECT_GE(x, 9);
                EXPECT_GE(y, 9);
            }
    EXPECT_GT(dark, 20);
}

TEST(QtSurface, VerticalTextReadsUpwardsFromItsReferencePoint) {
    auto s = QtSurfaceImage::Create(100, 200);
    ASSERT_TRUE(s);
    s->SelectFont(SurfaceFont{"Tahoma", -12, 900});
    s->SetTextAlign(TextAlign::kLeft | TextAlign::kTop);
    s->TextOut(20, 150, "Irradiance");
    int minX = 100, maxX = -1, minY = 200, maxY = -1;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 100; ++x)
            if (Pixel(*s, x, y) != 0xFFFFFFu) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    // Turned a quarter counter-clockwise about (20, 150): the text runs up from y 150, and its top
    // (now facing left) sits at x 20, so the glyphs lie to the right of it.
    EXPECT_GT(maxY - minY, 3 * (maxX - minX));
    EXPECT_LE(maxY, 151);
    EXPECT_GE(minX, 19);
    EXPECT_LE(maxX, 20 + 16);
}

TEST(QtSurface, AbsurdSizesFailCleanly) {
    EXPECT_FALSE(QtSurfaceImage::Create(0, 0));
    EXPECT_FALSE(QtSurfaceImage::Create(-1, 10));
    EXPECT_FALSE(QtSurfaceImage::Create(40000, 10));
    EXPECT_FALSE(QtSurfaceImage::Create(20000, 20000));
}

TEST(QtSurface, BitmapFileReadsBackWithQtsOwnReader) {
    auto s = QtSurfaceImage::Create(701, 500);  // odd width: padded rows
    ASSERT_TRUE(s);
    CDataGraph graph(s.get(), SurfaceRect{60, 20, 660, 440}, 0xEBEBEB, true, false);
    GraphSeries series;
    for (int i = 0; i < 256; ++i) series.Append(350 + i * 700.0 / 255, (i % 50) * 2.0);
    graph.SetXRange(350, 1050);
    graph.SetYRangeFromData(series);
    graph.Draw(0x0000FF, series, true);
    s->FillRect({0, 0, 3, 2}, 0x123456);  // a corner that tells top from bottom and red from blue

    CDIB dib;
    ASSERT_TRUE(dib.FromBitmap(*s, 24));
    const std::vector<std::uint8_t> bytes = dib.FileBytes();
    ASSERT_EQ(bytes.size(), 54u + 2104u * 500u);
    QImage back;
    ASSERT_TRUE(back.loadFromData(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())), "BMP"));
    ASSERT_EQ(back.width(), 701);
    ASSERT_EQ(back.height(), 500);
    const QImage original = s->Image().convertToFormat(QImage::Format_RGB32);
    const QImage read = back.convertToFormat(QImage::Format_RGB32);
    int differences = 0;
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 701; ++x)
            if ((original.pixel(x, y) & 0xFFFFFF) != (read.pixel(x, y) & 0xFFFFFF)) ++differences;
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(read.pixel(0, 0) & 0xFFFFFF, 0x563412u);
}

TEST(QtSurface, ThumbnailTileShowsCurveAndSelection) {
    auto s = QtSurfaceImage::Create(200, 300);
    ASSERT_TRUE(s);
    GraphSeries series;
    for (int nm = 350; nm <= 1050; nm += 10) series.Append(nm, 100.0);
    RenderThumbnailTile(*s, series, ThumbnailTile{0, 150, 200, 150, true});
    EXPECT_EQ(Pixel(*s, 2, 152), 0x804040u) << "selection in the tile margin";
    EXPECT_EQ(Pixel(*s, 100, 100), 0xFFFFFFu) << "above the tile and its spill";
    EXPECT_EQ(Pixel(*s, 30, 200), 0xEBEBEBu) << "plot background";
    int red = 0;
    for (int y = 150; y < 300; ++y)
        for (int x = 25; x < 175; ++x)
            if (Pixel(*s, x, y) == 0x0000FFu) ++red;
    EXPECT_GT(red, 100);
}

// A polyline of thousands of points a column, cut to four a column, draws the same pixels.
TEST(QtSurface, ThinnedPolylineDrawsTheSamePixels) {
    std::vector<SurfacePoint> points;
    unsigned seed = 17;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        points.push_back({5 + i / 200, static_cast<int>(10 + (seed >> 16) % 60 + (i / 200) % 7)});
    }
    const std::vector<SurfacePoint> thinned = CLineGraph::Thinned(points);
    EXPECT_LE(thinned.size(), 4u * 100u);
    auto full = QtSurfaceImage::Create(120, 90), cut = QtSurfaceImage::Create(120, 90);
    ASSERT_TRUE(full && cut);
    full->Polyline(points);
    cut->Polyline(thinned);
    EXPECT_TRUE(full->Image() == cut->Image());
    EXPECT_EQ(CLineGraph::Thinned({{0, 5}, {0, 7}, {0, 1}, {0, 8}, {0, 9}, {0, 2}, {0, 3}, {1, 4}}),
              (std::vector<SurfacePoint>{{0, 5}, {0, 1}, {0, 9}, {0, 3}, {1, 4}}));
}
