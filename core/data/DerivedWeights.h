#pragma once
// The derived values of a record (PAR, photon flux, illuminance, UV-A, UV-B) as weights on its pixels'
// irradiance, prepared once for the pixel wavelengths of one instrument. Every value is a sum of the
// record's straight-line interpolation at whole nanometres, and that interpolation is linear in the
// pixels, so each value is one weighted sum of (signal - dark) * calibration * temperature factor.
#include <cstdint>
#include <memory>
#include <vector>

class CSpectrumData;

struct DerivedValues {
    float par = 0, photon = 0, lux = 0, uvA = 0, uvB = 0;
};

// What tells one instrument's pixel wavelengths from another's: the record's explicit wavelengths,
// or its six wavelength coefficients.
std::vector<float> InstrumentKey(const CSpectrumData& record);
// The temperature factor table's rows at temperature (clamped to the table), as the record
// interpolates them; rows holds one value per wavelength row of the table.
void TemperatureRowsAt(float temperature, double* rows);

class DerivedWeights {
public:
    explicit DerivedWeights(const CSpectrumData& record);

    // The record's pixel wavelengths are those of the record these weights were made for.
    bool Matches(const CSpectrumData& record) const;
    // Of a record that matches; equal to its own GetPar() .. GetUvB() within single-precision rounding.
    DerivedValues Of(const CSpectrumData& record) const;

private:
    static constexpr int kValues = 5;
    bool explicit_, hType_;
    int pixels_;
    std::vector<float> key_;  // the coefficients, or the explicit wavelengths
    struct Row {
        int first = 0;
        std::vector<double> weight;  // of pixels first, first + 1, ...
    };
    Row rows_[kValues];
    int first_ = 0, end_ = 0;  // the pixels any value looks at
    std::vector<uint8_t> row_;  // per pixel: the upper row of the temperature factor table
    std::vector<double> at_;    // and how far up from the row below
};

// Weights for the few instruments a folder holds, most recently used first. One per thread.
class DerivedCalculator {
public:
    DerivedValues Of(const CSpectrumData& record);

private:
    std::vector<std::unique_ptr<DerivedWeights>> weights_;
};
