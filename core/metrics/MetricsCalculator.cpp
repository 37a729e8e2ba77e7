#include "core/metrics/MetricsCalculator.h"

#include <array>
#include <cmath>

#include "core/data/SpectrumData.h"
#include "core/metrics/ColourRendering.h"
#include "core/metrics/InstrumentWeights.h"
#include "core/metrics/MetricWeights.h"
#include "core/metrics/NmSpectrum.h"
#include "core/metrics/PlanckianLocus.h"
#include "core/metrics/ReferenceTables.h"
#include "core/metrics/SpectrumLocus.h"

namespace metrics {

namespace {

constexpr std::size_t kInstruments = 8;   // prepared weights kept
constexpr std::size_t kCoverages = 16;    // nanometre weights kept
constexpr double kMaxDuv = 0.05;          // further from the Planckian locus a CCT means nothing

static_assert(static_cast<int>(kSumPpfd) == static_cast<int>(kPpfd) &&
                  static_cast<int>(kSumFarRed) == static_cast<int>(kPfdFarRed),
              "band sums and metrics in the same order");

// Everything but the linear sums: chromaticity, CCT, colour rendering, ratios. samples(sums) fills
// the sums of the test colour samples, asked for only where a colour rendering index is computed.
template <class Samples>
LightMetrics Finish(const MetricWeights& w, double* sums, const Samples& samples) {
    LightMetrics m;
    for (int b = kSumPpfd; b <= kSumFarRed; ++b)
        if (w.BandCovered(b)) m.Set(b, sums[b], w.BandPartial(b));
    if (w.BandCovered(kSumRed660) && w.BandCovered(kSumFarRed730) && sums[kSumRed660] > 0.0 &&
        sums[kSumFarRed730] > 0.0)
        m.Set(kRfr, sums[kSumRed660] / sums[kSumFarRed730], w.BandPartial(kSumRed660) || w.BandPartial(kSumFarRed730));
    for (int b = 0; b < static_cast<int>(kSolarBands.size()); ++b) {
        const int sum = kSumSolarFirst + b;
        if (w.BandCovered(sum) && w.SolarReference(b) > 0.0)
            m.Set(kSolarFirst + b, sums[sum] / w.SolarReference(b), w.BandPartial(sum));
    }
    if (!w.CoversColour()) return m;

    const double X = sums[kSumX], Y = sums[kSumY], Z = sums[kSumZ];
    m.Set(kX, X);
    m.Set(kY, Y);
    m.Set(kZ, Z);
    const double edi = sums[kSumMelanopic] / MetricsCalculator::MelanopicEfficacyD65();
    m.Set(kMelanopicEdi, edi);
    if (Y > 0.0) m.Set(kMelanopicDer, edi / Y);
    // A chromaticity needs light in all three, at a point some light can have: a dark reading's
    // noise rarely gives both.
    if (!(X > 0.0 && Y > 0.0 && Z > 0.0)) return m;
    const double x = X / (X + Y + Z), y = Y / (X + Y + Z);
    if (!SpectrumLocus::Contains(x, y)) return m;
    m.Set(kChromaticityX, x);
    m.Set(kChromaticityY, y);
    const double d = X + 15.0 * Y + 3.0 * Z;
    const double u = 4.0 * X / d, v = 9.0 * Y / d;
    m.Set(kUPrime, u);
    m.Set(kVPrime, v);
    double cct, duv;
    if (!PlanckianLocus::Instance().Find(u, v * 2.0 / 3.0, cct, duv)) return m;
    m.Set(kDuv, duv);
    if (!(std::fabs(duv) <= kMaxDuv)) return m;
    m.Set(kCct, cct);
    if (cct > ColourRendering::kDaylightTo) return m;
    samples(sums);
    std::array<double, 3 * 15> test;
    test[0] = X;
    test[1] = Y;
    test[2] = Z;
    for (int k = 0; k < 3 * 14; ++k) test[static_cast<std::size_t>(3 + k)] = sums[kSumSampleFirst + k];
    std::array<double, 15> r;
    if (!ColourRendering::Compute(test.data(), cct, w, r)) return m;
    m.Set(kRa, r[0]);
    for (int i = 1; i <= 14; ++i) m.Set(kR1 + i - 1, r[static_cast<std::size_t>(i)]);
    return m;
}

double SpectrumSum(const NmSpectrum& s, const MetricWeights::Row& row) {
    double sum = 0.0;
    for (int nm = row.first; nm <= row.last; ++nm) sum += row.weight[static_cast<std::size_t>(nm - row.first)] * s.At(nm);
    return sum;
}

}  // namespace

MetricsCalculator::MetricsCalculator() = default;
MetricsCalculator::~MetricsCalculator() = default;

double MetricsCalculator::MelanopicEfficacyD65() {
    static const double efficacy = [] {
        double mel = 0.0, lum = 0.0;
        for (int nm = MetricWeights::kCmfFrom; nm <= MetricWeights::kColourTo; ++nm) {
            const double s = reference::kD65.Interpolate(1, nm);
            mel += s * reference::kAlphaOpic.Interpolate(5, nm);
            lum += s * reference::kCmf1931.Interpolate(2, nm);
        }
        return mel / (MetricWeights::kKm * lum);
    }();
    return efficacy;
}

std::shared_ptr<const MetricWeights> MetricsCalculator::WeightsFor(int first, int last) {
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        if (weights_[i]->First() != first || weights_[i]->Last() != last) continue;
        if (i > 0) std::swap(weights_[0], weights_[i]);
        return weights_[0];
    }
    if (weights_.size() >= kCoverages) weights_.pop_back();
    weights_.insert(weights_.begin(), std::make_shared<const MetricWeights>(first, last));
    return weights_[0];
}

LightMetrics MetricsCalculator::FromSpectrum(const NmSpectrum& spectrum) {
    if (spectrum.Empty()) return LightMetrics();
    const std::shared_ptr<const MetricWeights> shared = WeightsFor(spectrum.First(), spectrum.Last());
    const MetricWeights& w = *shared;
    double sums[kSumCount];
    for (int k = 0; k < kSumsWithoutSamples; ++k) sums[k] = SpectrumSum(spectrum, w.Weights(k));
    return Finish(w, sums, [&](double* s) {
        for (int k = kSumSampleFirst; k < kSumCount; ++k) s[k] = SpectrumSum(spectrum, w.Weights(k));
    });
}

LightMetrics MetricsCalculator::Direct(const CSpectrumData& record) { return FromSpectrum(NmSpectrum::FromRecord(record)); }

const InstrumentWeights* MetricsCalculator::InstrumentFor(const CSpectrumData& record) {
    for (std::size_t i = 0; i < instruments_.size(); ++i) {
        if (!instruments_[i]->Matches(record)) continue;
        if (i > 0) std::swap(instruments_[0], instruments_[i]);
        return instruments_[0].get();
    }
    record.PixelValues(kUnitWm2um, wavelengths_, irradiance_);
    int first, last;
    if (!InstrumentWeights::Regular(wavelengths_) ||
        !NmSpectrum::Coverage(wavelengths_.data(), static_cast<int>(wavelengths_.size()), first, last))
        return nullptr;
    auto made = std::make_unique<InstrumentWeights>(record, wavelengths_, WeightsFor(first, last));
    if (instruments_.size() >= kInstruments) instruments_.pop_back();
    instruments_.insert(instruments_.begin(), std::move(made));
    return instruments_[0].get();
}

LightMetrics MetricsCalculator::Compute(const CSpectrumData& record) {
    const InstrumentWeights* instrument = InstrumentFor(record);
    if (instrument == nullptr) return Direct(record);
    double sums[kSumCount];
    instrument->Sums(record, 0, kSumsWithoutSamples, sums);
    return Finish(instrument->Weights(), sums,
                  [&](double* s) { instrument->Sums(record, kSumSampleFirst, kSumCount, s); });
}

bool MetricsCalculator::Ppfd(const CSpectrumData& record, double& ppfd) {
    if (const InstrumentWeights* instrument = InstrumentFor(record)) {
        if (!instrument->Weights().BandCovered(kSumPpfd) || instrument->Weights().BandPartial(kSumPpfd)) return false;
        double sums[kSumCount];
        instrument->Sums(record, kSumPpfd, kSumPpfd + 1, sums);
        ppfd = sums[kSumPpfd];
        return true;
    }
    const LightMetrics m = Direct(record);
    ppfd = m.Get(kPpfd);
    return m.Has(kPpfd) && !m.IsPartial(kPpfd);
}

}  // namespace metrics
