// render: the pictures of the graph windows, drawn by the same code the windows use, into a .bmp
// (the program's own bitmap writer), a .png or an .svg file.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "cli/Cli.h"

#ifdef HELIARC_HAVE_QTSURFACE
#include <QGuiApplication>
#include <QImage>

#include "core/data/BaseDataSet.h"
#include "core/graph/DIB.h"
#include "core/graph/ThumbnailRender.h"
#include "render/ImageFile.h"
#include "render/QtSurfaceImage.h"
#include "render/SvgSurface.h"
#include "render/3DGraphPicture.h"
#include "render/DataGraphPicture.h"
#include "render/HeatMapPicture.h"
#include "render/LightQualityPicture.h"
#include "render/NumericalGraphPicture.h"

namespace cli {
namespace {

bool EndsWith(const std::string& s, const char* suffix) {
    const std::string t(suffix);
    if (s.size() < t.size()) return false;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - t.size() + i])) != t[i]) return false;
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    long long w = 0, h = 0;
    if (!ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h)) return false;
    // Checked before any narrowing: -4294967196 would wrap to 100.
    if (w < 1 || h < 1 || w > kMaxImageSide || h > kMaxImageSide) return false;
    if (!ImageSizeAcceptable(static_cast<int>(std::min<long long>(w, kMaxImageSide + 1)),
                             static_cast<int>(std::min<long long>(h, kMaxImageSide + 1)), 4))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// Fonts need a GUI application; the command line has no display to ask for.
std::unique_ptr<QGuiApplication> MakeApplication() {
    if (QGuiApplication::instance()) return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "heliarc-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

// A failed save leaves neither an empty picture nor a half one, nor spoils an earlier one; the
// message says what failed and where.
// draw draws the same picture again onto another surface of its size (the SVG one).
int WritePicture(const QtSurfaceImage& surface, const std::string& out, const std::function<void(Surface&)>& draw) {
    std::string error;
    bool ok;
    if (EndsWith(out, ".svg")) {
        ok = SaveSvgFile(surface.Width(), surface.Height(), draw, out, &error);
    } else if (EndsWith(out, ".png")) {
        ok = SaveImageFile(surface.Image(), out, "PNG", &error);
    } else {
        CDIB dib;
        ok = dib.FromBitmap(surface, 24) && dib.SaveFile(out, &error);
    }
    if (ok) return kExitOk;
    return Fail("Bitmap saving failure." + (error.empty() ? std::string() : "\n" + error));
}

int RunRender(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    std::vector<std::string> options = kSelectionOptions;
    options.push_back("--size");
    if (!args.Parse(argv, options, {}, error)) return Usage(error);
    const auto& pos = args.Positional();
    if (pos.size() != 2) return Usage("render needs a kind and an output file");
    const std::string& kind = pos[0];
    const std::string& out = pos[1];
    if (kind != "spectrum" && kind != "plural" && kind != "numerical" && kind != "3d" && kind != "heatmap" &&
        kind != "thumbnail" && kind != "quality")
        return Usage("render kind must be spectrum, plural, numerical, 3d, heatmap, thumbnail or quality");
    if (!EndsWith(out, ".bmp") && !EndsWith(out, ".png") && !EndsWith(out, ".svg"))
        return Usage("the output file must end in .bmp, .png or .svg");
    const bool tile = kind == "thumbnail";
    int width = tile ? thumbnail::kLogicalWidth : 700;
    int height = tile ? thumbnail::kLogicalHeight : 500;
    if (args.Has("--size") && !ParseSize(args.Get("--size"), width, height))
        return Usage("--size must be WIDTHxHEIGHT with both at least 1");
    Selection selection;
    if (!ReadSelection(args, selection, error)) return Usage(error);

    CSpectrumDataSet set;
    SelectRecords(selection, set);
    if (set.Count() == 0) return Fail("No records match the selection.");
    const auto app = MakeApplication();

    if (tile) {
        // --size is the thumbnail window: its tiles have the height that window gives them (400x900
        // holds three of 400x300), and the picture stacks one such tile per record.
        const int n = set.Count();
        const int tileHeight = ThumbnailTileHeight(ThumbnailTileCount(width, height), height);
        if (static_cast<long long>(tileHeight) * n > kMaxImageSide) return Fail("Too many records for one picture.");
        std::unique_ptr<QtSurfaceImage> surface = QtSurfaceImage::Create(width, tileHeight * n);
        if (!surface) return Fail("Graph plot failure.");
        std::vector<std::shared_ptr<const CSpectrumData>> held;
        std::vector<const CSpectrumData*> records;
        for (int i = 0; i < n; ++i) {
            held.push_back(set.Record(i, &error));
            if (!held.back()) return Fail(error);
            records.push_back(held.back().get());
        }
        RenderThumbnailStack(*surface, records, 0, n, [](int) { return false; });
        return WritePicture(*surface, out,
                            [&](Surface& s) { RenderThumbnailStack(s, records, 0, n, [](int) { return false; }); });
    }

    if (kind == "numerical") {
        if (set.Count() < 2) return Fail("Select more than one record.");
        CNumericalGraphPicture picture;
        picture.LoadSettings();
        picture.ShowRecords(set);
        if (!picture.Render(width, height) || !picture.Graph()) return Fail("Graph plot failure.");
        return WritePicture(*picture.Graph(), out, [&](Surface& s) { picture.DrawGraph(s); });
    }

    if (kind == "quality") {
        std::shared_ptr<const CSpectrumData> record = set.Record(0, &error);
        if (!record) return Fail(error);
        CLightQualityPicture picture;
        picture.Show(std::move(record));
        if (!picture.Render(width, height) || !picture.Graph()) return Fail("Graph plot failure.");
        return WritePicture(*picture.Graph(), out, [&](Surface& s) { picture.Draw(s); });
    }

    CBaseDataSet standardSet;
    const CSpectrumData* standard = standardSet.Current();
    if (kind == "heatmap") {
        CHeatMapPicture picture;
        picture.SetData(set, standard);
        if (!picture.Render(width, height) || !picture.Graph()) return Fail("Graph plot failure.");
        return WritePicture(*picture.Graph(), out, [&](Surface& s) { picture.DrawGraph(s); });
    }
    if (kind == "3d") {
        if (set.Count() < 2) return Fail("Select more than one record.");
        C3DGraphPicture picture;
        picture.LoadSettings();
        picture.SetData(set, standard);
        if (!picture.Render(width, height) || !picture.Graph()) return Fail("Graph plot failure.");
        return WritePicture(*picture.Graph(), out, [&](Surface& s) { picture.DrawGraph(s); });
    }
    CDataGraphPicture picture;
    picture.LoadSettings();
    std::vector<CSpectrumData> records;
    for (int i = 0; i < set.Count() && i < (kind == "spectrum" ? 1 : CDataGraphPrm::kPluralCount); ++i) {
        const std::shared_ptr<const CSpectrumData> r = set.Record(i, &error);
        if (!r) return Fail(error);
        records.push_back(*r);
    }
    if (kind == "spectrum") picture.ShowMeasured(records.front(), standard);
    else picture.ShowPlural(records, standard);
    if (!picture.Render(width, height) || !picture.Display()) return Fail("Graph plot failure.");
    return WritePicture(*picture.Display(), out, [&](Surface& s) {
        picture.DrawGraph(s);
        picture.DrawLegend(s, picture.LegendPosition().x, picture.LegendPosition().y, false);
    });
}

const std::string kRenderHelp = std::string(
    "usage: heliarc-cli render KIND [--from TEXT] [--to TEXT] [--comment TEXT] [--size WxH] OUT.png|OUT.svg|OUT.bmp\n"
    "\n"
    "Draws what a graph window draws, with the same code and the settings of its section of\n"
    "./ZQ118.ini, into a picture file; no display is needed. KIND is one of:\n"
    "  spectrum    the first selected record against the current standard data\n"
    "  plural      the first ten selected records in one graph\n"
    "  numerical   the calculation data graph of the selection (two records or more)\n"
    "  3d          the 3-D graph of the selection (two records or more)\n"
    "  heatmap     the heat map of the selection: wavelength across, time down, irradiance as colour\n"
    "  thumbnail   one thumbnail tile per record, one below the other\n"
    "  quality     the light quality window of the first selected record\n"
    "\n") + kSelectionHelp +
    "  --size WxH      the window size in pixels, 700x500 by default; for thumbnail the size of\n"
    "                  the thumbnail window (400x300 by default), which sets the tiles' height\n"
    "OUT ending in .png is a PNG picture, one ending in .svg a vector picture, one ending in .bmp\n"
    "a 24-bit bitmap.\n";

const CommandRegistrar kRender(70, "render", RunRender, "a graph window's picture into a .png, .svg or .bmp file",
                               kRenderHelp.c_str());

}  // namespace
}  // namespace cli
#endif
