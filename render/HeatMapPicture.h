#pragma once
// The heat map of a run of records, without a widget: wavelength across, time down, the spectral
// irradiance (or its ratio to the standard) as colour on a perceptual map with a scale bar. Each
// row of pixels shows the record nearest its time; a row no record comes near (a gap in the run)
// stays empty. The window and heliarc-cli render draw through this class.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataSet.h"
#include "core/graph/RgbImage.h"
#include "core/graph/Surface.h"

class QtSurfaceImage;

class CHeatMapPicture {
public:
    static constexpr std::uint32_t kEmptyColor = 0xFFFFFF;

    CHeatMapPicture();
    ~CHeatMapPicture();

    // Copies the records (sharing what they hold) and the standard; without one the map shows
    // irradiance.
    void SetData(const CSpectrumDataSet& records, const CSpectrumData* standard);
    const CSpectrumDataSet& Records() const { return records_; }
    bool StandardPresent() const { return standard_.has_value(); }
    // Ratio to the standard in percent instead of irradiance; only with a standard.
    void SetRatio(bool ratio) { ratio_ = ratio; }
    bool Ratio() const { return ratio_ && standard_.has_value(); }
    void SetWavelengths(double from, double to);
    double FromNm() const { return fromNm_; }
    double ToNm() const { return toNm_; }

    // Colour of v on 0..1 of the perceptual map (dark blue through green to yellow), 0x00BBGGRR.
    static std::uint32_t Colour(double v);

    void DrawGraph(Surface& surface);
    // What the last drawing placed: the map's rectangle, its time span (top to bottom) and its
    // colour range.
    const SurfaceRect& PlotRect() const { return plot_; }
    double TopTime() const { return t0_; }
    double BottomTime() const { return t1_; }
    double Low() const { return lo_; }
    double High() const { return hi_; }
    // The record each row of the map shows, -1 for an empty row.
    const std::vector<int>& RowRecords() const { return rowRecord_; }

    struct Reading {
        double wavelength = 0;
        int record = -1;
        platform::CalTime time = 0;
        double value = 0;
    };
    // What a cursor at client (x, y) points at; nothing outside the map or on an empty row.
    std::optional<Reading> ReadAt(int x, int y) const;
    // The cross and the read-out texts of a cursor at (x, y); false where ReadAt has nothing.
    bool DrawReadOut(Surface& surface, int x, int y) const;

    // The picture on the Qt surface; false when no image of that size can be had.
    bool Render(int width, int height, double pixelRatio = 1.0);
    const QtSurfaceImage* Graph() const { return graph_.get(); }

private:
    double WavelengthAt(int column) const;
    double ValueOf(const std::vector<float>& wavelengths, const std::vector<float>& values, double nm) const;

    CSpectrumDataSet records_;
    std::optional<CSpectrumData> standard_;
    std::vector<float> standardWl_, standardValues_;
    bool ratio_ = false;
    double fromNm_ = 350, toNm_ = 1050;

    SurfaceRect plot_{};
    double t0_ = 0, t1_ = 0, lo_ = 0, hi_ = 1;
    std::vector<int> rowRecord_;
    std::vector<float> values_;  // of the map's pixels, row by row; NaN where empty
    std::unique_ptr<QtSurfaceImage> graph_;
};
