#pragma once
// Every linear sum of the metrics as weights on the pixels of one instrument's records. The 1 nm
// interpolation between a record's pixels is linear in their irradiance, so for records with the
// same pixel wavelengths each sum is one dot product with the pixels' W/m^2/um values, which are
// worked out per record from its signal, calibration, dark offset and temperature.
#include <memory>
#include <vector>

class CSpectrumData;

namespace metrics {

class MetricWeights;

class InstrumentWeights {
public:
    // For the pixel wavelengths of record, whose whole nanometres are first..last of weights.
    InstrumentWeights(const CSpectrumData& record, const std::vector<float>& wavelengths,
                      std::shared_ptr<const MetricWeights> weights);

    // The record's pixel wavelengths are computed as those of the record these weights were made for.
    bool Matches(const CSpectrumData& record) const;
    const MetricWeights& Weights() const { return *weights_; }

    // sums[from .. to - 1] of the record (which must match).
    void Sums(const CSpectrumData& record, int from, int to, double* sums) const;

    // Pixels one nanometre apart at least: between those the record's own interpolation draws the
    // line between the two pixels around each wavelength, which these weights reproduce.
    static bool Regular(const std::vector<float>& wavelengths);

private:
    struct Row {
        int first = 0;  // pixel
        int count = 0;
        std::vector<float> weight;
    };

    // What the pixel wavelengths are computed from.
    bool explicit_;
    bool hType_;
    int pixels_;
    std::vector<float> key_;  // coefficients, or the explicit wavelengths
    std::shared_ptr<const MetricWeights> weights_;
    std::vector<Row> rows_;
    int firstPixel_ = 0, endPixel_ = 0;  // the pixels any sum looks at
    // The temperature factor of a pixel lies on the line between two rows of the factor table, at
    // factorAt_ of the way from the lower; the pixels between the same two rows form a run.
    struct FactorRun {
        int first, end;  // pixels
        int row;         // the upper row
    };
    std::vector<FactorRun> factorRuns_;
    std::vector<float> factorAt_;
};

}  // namespace metrics
