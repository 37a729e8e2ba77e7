#pragma once
// Everything the spectrum graph window shows, without a widget: the view's state (mode, records,
// standard record, its own DATA_GRAPH copy, legend place, read-out) and the drawing of the graph,
// the legend and the cursor line onto a Surface. The window and heliarc-cli render both draw
// through this class, so the file written by the CLI is the picture the window shows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/config/DataGraphPrm.h"
#include "core/data/SpectrumData.h"
#include "core/graph/RgbImage.h"
#include "core/graph/Surface.h"
#include "render/GraphCommand.h"

class QtSurfaceImage;

// A wavelength setting (nm) as the whole number the graphs integrate to, kept inside the range
// they draw (350..1050 nm): a hand-edited value such as 2e9 would make one integration run for
// most of a minute, and beyond the int range its conversion is undefined.
int DrawableNm(const CPrmFloat& value);

class CDataGraphPicture {
public:
    enum { kModeNone = -1, kModeMeasured = 0, kModePlural = 1, kModeLatest = 2, kModeStandard = 3 };


    static constexpr double kMinWavelength = 350;
    static constexpr double kMaxWavelength = 1050;
    static constexpr std::uint32_t kPlotBackground = 0xEBEBEB;
    static constexpr int kNotPlaced = -1000;

    struct LegendLine {
        std::uint32_t color = 0;
        std::string text;
    };

    CDataGraphPicture();
    ~CDataGraphPicture();

    // The section copy; LoadSettings reads DATA_GRAPH from the configuration file.
    CDataGraphPrm& Prm() { return prm_; }
    const CDataGraphPrm& Prm() const { return prm_; }
    bool LoadSettings();

    // Entry points: they set the mode and the data and end any read-out (the caller renders).
    void ShowMeasured(const CSpectrumData& record, const CSpectrumData* standard);
    void ShowPlural(const std::vector<CSpectrumData>& records, const CSpectrumData* standard);
    void ShowLatest(const CSpectrumData& record, const CSpectrumData* standard);
    void ShowStandard(const CSpectrumData& record);

    int Mode() const { return mode_; }
    const std::vector<CSpectrumData>& Records() const { return records_; }
    bool StandardPresent() const { return standardPresent_; }
    const CSpectrumData& Standard() const { return standard_; }
    // Time of the displayed record (what Previous/Next send), 0 with none.
    std::int64_t ShownTime() const { return records_.empty() ? 0 : records_.front().GetTime(); }

    // Drawing onto any surface (device pixels = client pixels). DrawGraph remembers the plot
    // rectangle; DrawLegend draws the legend box with its top-left corner at (x, y) and returns its size.
    void DrawGraph(Surface& surface);
    SurfaceSize DrawLegend(Surface& surface, int x, int y, bool readOut);
    std::vector<LegendLine> LegendLines(bool readOut);
    std::string Title() const;
    const SurfaceRect& PlotRect() const { return plot_; }

    // The window's pictures on the Qt surface: the graph image (client size, recreated each time)
    // and the display image (graph, legend and cursor line), the one shown, saved and printed.
    // False when an image of that size cannot be had (the previous picture stays).
    bool Render(int width, int height);
    bool Compose();
    const QtSurfaceImage* Display() const { return display_.get(); }
    bool DisplayPixels(RgbImage& out) const;

    // Cursor read-out at a client x inside the plot rectangle; composes with the line drawn.
    bool ReadOutAt(int x);
    // Ends the read-out and composes without it.
    bool EndReadOut();
    bool ReadingOut() const { return readOut_; }
    int CursorX() const { return cursorX_; }
    float CursorWavelength() const { return cursorWavelength_; }
    const std::vector<float>& CursorValues() const { return cursorValues_; }
    float CursorStandard() const { return cursorStandard_; }
    float CursorDifference() const { return cursorDifference_; }
    float CursorRatio() const { return cursorRatio_; }

    // Legend placement; size is that of the last drawing.
    SurfacePoint LegendPosition() const { return legendPos_; }
    void SetLegendPosition(SurfacePoint p) { legendPos_ = p; }
    SurfaceSize LegendSize() const { return legendSize_; }
    bool InLegend(int x, int y) const;
    bool InPlot(int x, int y) const;

    // Zoom, shift and toggles; false when the command changed nothing (the caller renders on true).
    bool Execute(GraphCommand command);
    bool Enabled(GraphCommand command) const;
    bool Checked(GraphCommand command) const;
    bool IrradianceAdjustable() const;
    bool RatioAdjustable() const;

    // Irradiance unit of the series for UNIT_Y (0 W/m^2/um, otherwise umol/m^2/s/um).
    int Unit() const { return prm_.m_UNIT_Y.Get() == 0 ? 0 : 1; }

private:
    struct Series {
        GraphSeries points;
        std::uint32_t color = 0;
    };
    void SetSingle(int mode, const CSpectrumData& record, const CSpectrumData* standard);
    void ResetReadOut();
    void BuildSeries(std::vector<Series>& left, std::vector<Series>& right) const;
    bool ToggleSeries(GraphCommand command);

    CDataGraphPrm prm_;
    int mode_ = kModeNone;
    std::vector<CSpectrumData> records_;
    bool standardPresent_ = false;
    CSpectrumData standard_;
    SurfaceRect plot_{};
    SurfacePoint legendPos_{kNotPlaced, 0};
    SurfaceSize legendSize_{};

    bool readOut_ = false;
    int cursorX_ = 0;
    std::vector<float> cursorValues_;
    float cursorStandard_ = 0;
    float cursorDifference_ = 0;
    float cursorRatio_ = 0;
    float cursorWavelength_ = 0;

    std::unique_ptr<QtSurfaceImage> display_;
    RgbImage graphPixels_;
};

// printf-style formatting of a string-table text with %s, %d and %g (locale-independent "%g"), and
// %% for a percent sign. A placeholder without an argument stays empty.
struct FormatArg {
    enum class Kind { Text, Int, Real } kind;
    std::string text;
    long long i = 0;
    double d = 0;
    FormatArg(const std::string& s) : kind(Kind::Text), text(s) {}
    FormatArg(const char* s) : kind(Kind::Text), text(s ? s : "") {}
    FormatArg(int v) : kind(Kind::Int), i(v) {}
    FormatArg(long long v) : kind(Kind::Int), i(v) {}
    FormatArg(double v) : kind(Kind::Real), d(v) {}
    FormatArg(float v) : kind(Kind::Real), d(v) {}
};
std::string FormatText(const std::string& format, const std::vector<FormatArg>& args);
