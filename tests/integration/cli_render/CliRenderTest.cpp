// heliarc-cli render on a generated data folder: the files it writes are the windows' pictures.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <unistd.h>

#include "core/config/DataGraphPrm.h"
#include "core/data/BaseDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/graph/DIB.h"
#include "tests/support/CliRun.h"
#include "tests/support/DataFolderTest.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "render/QtSurfaceImage.h"
#include "render/3DGraphPicture.h"
#include "render/DataGraphPicture.h"
#include "render/LightQualityPicture.h"
#include "render/HeatMapPicture.h"
#include "render/NumericalGraphPicture.h"

using namespace datatest;

namespace {

int Cli(const std::string& args) {
    testsupport::CliOptions options;
    options.errFile = "";
    return testsupport::RunCli(args, options).status;
}

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "test_cli_render";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

class CliRenderTest : public testsupport::DataFolderTest {
protected:
    std::vector<CSpectrumData> records_;
    void SetUp() override {
        App();
        DataFolderTest::SetUp();
        for (int i = 0; i < 12; ++i)
            records_.push_back(MakeRecord(Local(2009, 5, 12, 10, i, 0), "r" + std::to_string(i), 100.0f + 20.0f * i));
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.WriteAll(records_), 1);
        // A section the picture must follow: fixed axis, marker on.
        CDataGraphPrm prm;
        prm.Load();
        prm.m_RANGE_AUTO_Y = 0;
        prm.m_RANGE_MAX_Y = 500;
        prm.m_SHOW_MARKER = 1;
        prm.Save();
    }
    std::string Out(const char* name) const { return dir_.Path() + "/" + name; }
};

QImage Expected(const std::function<void(CDataGraphPicture&)>& show, int w, int h) {
    CDataGraphPicture picture;
    picture.LoadSettings();
    show(picture);
    EXPECT_TRUE(picture.Render(w, h));
    return picture.Display()->Image().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST_F(CliRenderTest, SpectrumIsThePictureOfTheWindow) {
    ASSERT_EQ(Cli(Workdir() + "render spectrum --size 640x480 " + Out("s.png")), 0);
    QImage written(QString::fromStdString(Out("s.png")));
    ASSERT_EQ(written.size(), QSize(640, 480));
    // The standard data set of this folder is the built-in record, current by default.
    CBaseDataSet standardSet;
    const QImage expected = Expected([&](CDataGraphPicture& p) { p.ShowMeasured(records_[0], standardSet.Current()); },
                                     640, 480);
    EXPECT_TRUE(written.convertToFormat(QImage::Format_RGB32) == expected);
}

TEST_F(CliRenderTest, PluralTakesTheFirstTenAndBitmapsAreTwentyFourBits) {
    ASSERT_EQ(Cli(Workdir() + "render plural " + Out("p.bmp")), 0);
    const std::string bytes = testsupport::ReadFileBytes(Out("p.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 2100u * 500u);
    CBaseDataSet standardSet;
    std::vector<CSpectrumData> ten(records_.begin(), records_.begin() + 10);
    const QImage expected = Expected([&](CDataGraphPicture& p) { p.ShowPlural(ten, standardSet.Current()); }, 700, 500);
    // Bottom-up rows of blue, green, red.
    int differing = 0;
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 700; ++x) {
            const std::size_t at = 54 + static_cast<std::size_t>(499 - y) * 2100 + static_cast<std::size_t>(x) * 3;
            const QRgb e = expected.pixel(x, y);
            differing += static_cast<unsigned char>(bytes[at]) != qBlue(e) ||
                         static_cast<unsigned char>(bytes[at + 1]) != qGreen(e) ||
                         static_cast<unsigned char>(bytes[at + 2]) != qRed(e);
        }
    EXPECT_EQ(differing, 0);
}

TEST_F(CliRenderTest, SvgHoldsTheWindowsPictureAsVectors) {
    for (const char* kind : {"spectrum", "numerical", "3d", "thumbnail"}) {
        const std::string out = Out((std::string(kind) + ".svg").c_str());
        ASSERT_EQ(Cli(Workdir() + "render " + kind + " --to '2009/5/12 10:02' --size 640x480 " + out), 0) << kind;
        const std::string svg = testsupport::ReadFileBytes(out);
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u) << kind;
        EXPECT_NE(svg.find("<polyline"), std::string::npos) << kind;
        EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n") << kind;
    }
    EXPECT_NE(testsupport::ReadFileBytes(Out("spectrum.svg")).find("width=\"640\" height=\"480\""), std::string::npos);
    EXPECT_NE(testsupport::ReadFileBytes(Out("spectrum.svg")).find(">Wavelength[nm]</text>"), std::string::npos);
}

TEST_F(CliRenderTest, ThumbnailStacksOneTilePerRecord) {
    ASSERT_EQ(Cli(Workdir() + "render thumbnail --to '2009/5/12 10:02' --size 200x150 " + Out("t.png")), 0);
    QImage written(QString::fromStdString(Out("t.png")));
    EXPECT_EQ(written.size(), QSize(200, 450));
    // A window three tiles high: each record gets the tile height that window gives it.
    ASSERT_EQ(Cli(Workdir() + "render thumbnail --to '2009/5/12 10:01' --size 400x900 " + Out("w.png")), 0);
    EXPECT_EQ(QImage(QString::fromStdString(Out("w.png"))).size(), QSize(400, 2 * 300));
}

TEST_F(CliRenderTest, BadRequestsFailCleanly) {
    EXPECT_EQ(Cli(Workdir() + "render spectrum"), 2);
    EXPECT_EQ(Cli(Workdir() + "render cube " + Out("x.png")), 2);
    EXPECT_EQ(Cli(Workdir() + "render spectrum --size 0x10 " + Out("x.png")), 2);
    EXPECT_EQ(Cli(Workdir() + "render spectrum --size 99999x99999 " + Out("x.png")), 2);
    EXPECT_EQ(Cli(Workdir() + "render spectrum " + Out("x.gif")), 2);
    EXPECT_EQ(Cli(Workdir() + "render spectrum --from 2020/1/1 " + Out("x.png")), 1);
    EXPECT_EQ(Cli(Workdir() + "render spectrum " + dir_.Path() + "/missing/x.bmp"), 1);
    // A link planted under the picture's name is left standing, its target unwritten.
    testsupport::WriteFileBytes("victim", "precious");
    for (const char* name : {"planted.png", "planted.bmp", "planted.svg"}) {
        ASSERT_EQ(::symlink("victim", name), 0);
        testsupport::CliOptions options;
        const testsupport::CliRun r = testsupport::RunCli(Workdir() + "render spectrum " + name, options);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(std::string(name) + " is a symbolic link; it was left as it is."), std::string::npos) << r.err;
    }
    EXPECT_EQ(testsupport::ReadFileBytes("victim"), "precious");
}

TEST_F(CliRenderTest, NumericalDrawsTheSelectionOverTime) {
    ASSERT_EQ(Cli(Workdir() + "render numerical " + Out("n.png")), 0);
    QImage written(QString::fromStdString(Out("n.png")));
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    CNumericalGraphPicture picture;
    picture.LoadSettings();
    picture.ShowRecords(set);
    ASSERT_TRUE(picture.Render(700, 500));
    EXPECT_TRUE(written.convertToFormat(QImage::Format_RGB32) ==
                picture.Graph()->Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Cli(Workdir() + "render numerical --to '2009/5/12 10:00' " + Out("one.png")), 1);
}

TEST_F(CliRenderTest, QualityIsTheWindowsPictureOfTheFirstSelectedRecord) {
    ASSERT_EQ(Cli(Workdir() + "render quality --from '2009/5/12 10:03' --size 900x600 " + Out("q.png")), 0);
    QImage written(QString::fromStdString(Out("q.png")));
    CLightQualityPicture picture;
    picture.Show(std::make_shared<CSpectrumData>(records_[3]));
    ASSERT_TRUE(picture.Render(900, 600));
    EXPECT_TRUE(written.convertToFormat(QImage::Format_RGB32) ==
                picture.Graph()->Image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(CliRenderTest, ThreeDIsThePictureOfTheWindowFromItsSection) {
    C3DGraphPrm prm;
    prm.Load();
    prm.m_TIME_AXIS_KIND = 1;
    prm.m_ANGLE_THETA = 30;
    prm.m_DATA_COLOR = 0xFF0000;
    prm.Save();
    ASSERT_EQ(Cli(Workdir() + "render 3d --from '2009/5/12 10:02' --size 800x600 " + Out("3d.png")), 0);
    QImage written(QString::fromStdString(Out("3d.png")));
    ASSERT_EQ(written.size(), QSize(800, 600));
    const platform::CalTime from = Local(2009, 5, 12, 10, 2, 0);
    CSpectrumDataSet set;
    set.Search(&from, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 10);
    CBaseDataSet standardSet;
    C3DGraphPicture picture;
    picture.LoadSettings();
    picture.SetData(set, standardSet.Current());
    ASSERT_TRUE(picture.Render(800, 600));
    EXPECT_TRUE(written.convertToFormat(QImage::Format_RGB32) ==
                picture.Graph()->Image().convertToFormat(QImage::Format_RGB32));
    // Settings of the run are never saved; one record is not enough.
    EXPECT_EQ(Cli(Workdir() + "render 3d --to '2009/5/12 10:00' " + Out("one.png")), 1);
    EXPECT_EQ(Cli(Workdir() + "render 3d --size 2x2 " + Out("tiny.bmp")), 0);
}

TEST_F(CliRenderTest, HeatMapIsThePictureOfTheWindow) {
    ASSERT_EQ(Cli(Workdir() + "render heatmap --from '2009/5/12 10:03' --size 640x480 " + Out("h.png")), 0);
    QImage written(QString::fromStdString(Out("h.png")));
    const platform::CalTime from = Local(2009, 5, 12, 10, 3, 0);
    CSpectrumDataSet set;
    set.Search(&from, nullptr, nullptr);
    CBaseDataSet standardSet;
    CHeatMapPicture picture;
    picture.SetData(set, standardSet.Current());
    ASSERT_TRUE(picture.Render(640, 480));
    EXPECT_TRUE(written.convertToFormat(QImage::Format_RGB32) ==
                picture.Graph()->Image().convertToFormat(QImage::Format_RGB32));
}
