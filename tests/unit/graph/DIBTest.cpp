#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "core/graph/DIB.h"
#include "core/graph/PrintLayout.h"
#include "core/graph/RecordingSurface.h"

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

TEST(DIB, A700By500PictureMakesTheDocumentedFile) {
    RgbImage img;
    ASSERT_TRUE(img.Resize(700, 500));
    CDIB dib;
    ASSERT_TRUE(dib.FromBitmap(img, 24));
    EXPECT_EQ(dib.Stride(), 2100);
    const std::vector<std::uint8_t> f = dib.FileBytes();
    ASSERT_EQ(f.size(), 1050054u);
    EXPECT_EQ(U16(f, 0), 0x4D42);
    EXPECT_EQ(U32(f, 2), 1050054u);
    EXPECT_EQ(U32(f, 6), 0u);
    EXPECT_EQ(U32(f, 10), 54u);
    EXPECT_EQ(U32(f, 14), 40u);
    EXPECT_EQ(U32(f, 18), 700u);
    EXPECT_EQ(U32(f, 22), 500u);
    EXPECT_EQ(U16(f, 26), 1);
    EXPECT_EQ(U16(f, 28), 24);
    for (std::size_t i = 30; i < 54; ++i) EXPECT_EQ(f[i], 0) << i;
}

TEST(DIB, RowsArePaddedAndStoredBottomUpInBlueGreenRed) {
    EXPECT_EQ(CDIB::StrideFor(1, 24), 4);
    EXPECT_EQ(CDIB::StrideFor(3, 24), 12);
    EXPECT_EQ(CDIB::StrideFor(5, 24), 16);
    EXPECT_EQ(CDIB::StrideFor(1, 1), 4);
    EXPECT_EQ(CDIB::ColorTableBytesFor(8), 1024u);
    EXPECT_EQ(CDIB::ColorTableBytesFor(24), 0u);

    RgbImage img;
    ASSERT_TRUE(img.Resize(1, 2));
    img.Set(0, 0, 0x030201);  // top: red 1, green 2, blue 3
    img.Set(0, 1, 0x0C0B0A);  // bottom
    CDIB dib;
    ASSERT_TRUE(dib.FromBitmap(img, 24));
    const std::vector<std::uint8_t> f = dib.FileBytes();
    ASSERT_EQ(f.size(), 54u + 8u);
    const std::vector<std::uint8_t> pixels(f.begin() + 54, f.end());
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0x0C, 0x0B, 0x0A, 0, 0x03, 0x02, 0x01, 0}));
}

TEST(DIB, ColourTableDepthsSizeTheHeader) {
    CDIB dib;
    ASSERT_TRUE(dib.Allocate(10, 3, 8, CDIB::ColorTableBytesFor(8)));
    EXPECT_EQ(dib.HeaderBytes().size(), 40u + 1024u);
    EXPECT_EQ(dib.PixelBytes().size(), 12u * 3u);
    const std::vector<std::uint8_t> f = dib.FileBytes();
    EXPECT_EQ(U32(f, 10), 14u + 1064u);
}

TEST(DIB, BadSizesFailCleanly) {
    CDIB dib;
    EXPECT_FALSE(dib.Allocate(0, 0, 24, 0));
    EXPECT_FALSE(dib.Allocate(-5, 10, 24, 0));
    EXPECT_FALSE(dib.Allocate(30001, 10, 24, 0));
    EXPECT_FALSE(dib.Allocate(20000, 20000, 24, 0));  // 1.2 GB
    EXPECT_FALSE(dib.Allocate(10, 10, 7, 0));
    EXPECT_TRUE(dib.Empty());
    EXPECT_TRUE(dib.FileBytes().empty());
    EXPECT_FALSE(dib.SaveFile("/tmp/never-written.bmp"));
    RgbImage huge;
    EXPECT_FALSE(huge.Resize(30000, 30000));
    RecordingSurface noPixels;
    EXPECT_FALSE(dib.FromBitmap(noPixels, 24));
    RgbImage ok;
    ASSERT_TRUE(ok.Resize(2, 2));
    EXPECT_FALSE(dib.FromBitmap(ok, 8)) << "only true-colour pictures are converted";
}

TEST(DIB, SaveFileWritesTheBytesAndReportsFailures) {
    RgbImage img;
    ASSERT_TRUE(img.Resize(3, 2));
    img.Set(2, 1, 0xFF0000);
    CDIB dib;
    ASSERT_TRUE(dib.FromBitmap(img, 24));
    char dir[] = "/tmp/heliarc_dibXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/graph.bmp";
    ASSERT_TRUE(dib.SaveFile(path));
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(onDisk, dib.FileBytes());
    EXPECT_FALSE(dib.SaveFile(std::string(dir) + "/missing/graph.bmp"));
    // A full device: the write cannot complete, and that is a failure, not a success.
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_FALSE(dib.SaveFile("/dev/full"));
    }
    std::remove(path.c_str());
    rmdir(dir);
}

TEST(PrintLayout, PictureFillsOneDirectionAndIsCentredInTheOther) {
    SurfaceRect r;
    // Landscape page, wide picture: full width, centred vertically.
    ASSERT_TRUE(FitPictureToPage(6000, 4000, 700, 300, r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 6000);
    EXPECT_EQ(r.top, 714);  // (4000 - 300 * 6000 / 700) / 2
    EXPECT_EQ(r.bottom, 4000 - 714);
    // Portrait page, tall picture: full height, centred horizontally.
    ASSERT_TRUE(FitPictureToPage(4000, 6000, 300, 700, r));
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 6000);
    EXPECT_EQ(r.left, 714);
    EXPECT_EQ(r.right, 4000 - 714);
    // Same shape: the whole page.
    ASSERT_TRUE(FitPictureToPage(1400, 1000, 700, 500, r));
    EXPECT_EQ(r, (SurfaceRect{0, 0, 1400, 1000}));
    EXPECT_FALSE(FitPictureToPage(1000, 1000, 0, 500, r));
    EXPECT_EQ(r, SurfaceRect{});
}
