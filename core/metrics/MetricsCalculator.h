#pragma once
// The light-quality metrics of spectra and records. A record's metrics come from its irradiance
// interpolated to every whole nanometre; Compute gets them from weights prepared once per
// instrument (a few dot products over the pixels), Direct from the record's own IrradianceAt at
// each nanometre. Both agree within single-precision rounding. One calculator per thread: it keeps
// the prepared weights of the last instruments it met.
#include <memory>
#include <vector>

#include "core/metrics/LightMetrics.h"

class CSpectrumData;

namespace metrics {

class InstrumentWeights;
class MetricWeights;
class NmSpectrum;

class MetricsCalculator {
public:
    MetricsCalculator();
    ~MetricsCalculator();
    MetricsCalculator(const MetricsCalculator&) = delete;
    MetricsCalculator& operator=(const MetricsCalculator&) = delete;

    LightMetrics FromSpectrum(const NmSpectrum& spectrum);
    LightMetrics Direct(const CSpectrumData& record);
    LightMetrics Compute(const CSpectrumData& record);
    // The PPFD alone (the daily light integral needs no more); false unless the record covers all
    // of 400..700 nm.
    bool Ppfd(const CSpectrumData& record, double& ppfd);

    // Melanopic efficacy of luminous radiation of CIE D65, W/lm: the melanopic irradiance of a light
    // over this is its melanopic equivalent daylight (D65) illuminance.
    static double MelanopicEfficacyD65();

private:
    std::shared_ptr<const MetricWeights> WeightsFor(int first, int last);
    // Weights for the record's instrument; null when its pixels allow none (then Direct serves).
    const InstrumentWeights* InstrumentFor(const CSpectrumData& record);

    std::vector<std::shared_ptr<const MetricWeights>> weights_;  // most recently used first
    std::vector<std::unique_ptr<InstrumentWeights>> instruments_;  // most recently used first
    std::vector<float> wavelengths_, irradiance_;
};

}  // namespace metrics
