#include "core/metrics/InstrumentWeights.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include "core/data/DerivedWeights.h"
#include "core/data/SpectrumData.h"
#include "core/data/SpectrumTables.h"
#include "core/metrics/MetricWeights.h"

namespace metrics {

namespace {

using namespace spectrum_tables;

constexpr int kLanes = 8;

// Eight running sums in two registers, so the additions overlap. w holds whole groups of kLanes
// (rows are padded with zero weights) and e may be read as far; in the last group the pixels past
// the row are masked out rather than weighted by 0, as such a pixel may hold no number.
float Dot(const float* w, const float* e, int n) {
#if defined(__SSE2__)
    alignas(16) static const uint32_t kKeep[2 * kLanes] = {~0u, ~0u, ~0u, ~0u, ~0u, ~0u, ~0u, ~0u, 0, 0, 0, 0, 0, 0, 0, 0};
    __m128 a = _mm_setzero_ps(), b = _mm_setzero_ps();
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        a = _mm_add_ps(a, _mm_mul_ps(_mm_loadu_ps(w + i), _mm_loadu_ps(e + i)));
        b = _mm_add_ps(b, _mm_mul_ps(_mm_loadu_ps(w + i + 4), _mm_loadu_ps(e + i + 4)));
    }
    if (i < n) {
        const float* keep = reinterpret_cast<const float*>(kKeep + kLanes - (n - i));
        a = _mm_add_ps(a, _mm_mul_ps(_mm_loadu_ps(w + i), _mm_and_ps(_mm_loadu_ps(e + i), _mm_loadu_ps(keep))));
        b = _mm_add_ps(b, _mm_mul_ps(_mm_loadu_ps(w + i + 4), _mm_and_ps(_mm_loadu_ps(e + i + 4), _mm_loadu_ps(keep + 4))));
    }
    alignas(16) float lane[kLanes];
    _mm_store_ps(lane, a);
    _mm_store_ps(lane + 4, b);
#else
    float lane[kLanes] = {};
    for (int i = 0; i < n; ++i) lane[i % kLanes] += w[i] * e[i];
#endif
    return ((lane[0] + lane[4]) + (lane[1] + lane[5])) + ((lane[2] + lane[6]) + (lane[3] + lane[7]));
}

}  // namespace

bool InstrumentWeights::Regular(const std::vector<float>& wavelengths) {
    for (std::size_t i = 1; i < wavelengths.size(); ++i)
        if (!(wavelengths[i] - wavelengths[i - 1] >= 1.0f)) return false;
    return wavelengths.size() >= 2;
}

InstrumentWeights::InstrumentWeights(const CSpectrumData& record, const std::vector<float>& wavelengths,
                                     std::shared_ptr<const MetricWeights> shared)
    : explicit_(record.HasExplicitWavelengths()),
      hType_(record.IsHType()),
      pixels_(record.PixelCount()),
      key_(InstrumentKey(record)),
      weights_(std::move(shared)) {
    const MetricWeights& weights = *weights_;
    const int n = static_cast<int>(wavelengths.size());
    // The grid's nanometres as lines between their two pixels: g(nm) = (1 - a) e[j - 1] + a e[j],
    // in W/m^2/nm from the pixels' W/m^2/um.
    const int first = weights.First(), last = weights.Last();
    std::vector<int> upper(static_cast<std::size_t>(last - first + 1));
    std::vector<double> share(upper.size());
    for (int nm = first, j = 1; nm <= last; ++nm) {
        while (j < n - 1 && wavelengths[static_cast<std::size_t>(j)] < static_cast<float>(nm)) ++j;
        const double x0 = wavelengths[static_cast<std::size_t>(j) - 1], x1 = wavelengths[static_cast<std::size_t>(j)];
        upper[static_cast<std::size_t>(nm - first)] = j;
        share[static_cast<std::size_t>(nm - first)] = (nm - x0) / (x1 - x0);
    }
    rows_.resize(kSumCount);
    firstPixel_ = n;
    endPixel_ = 0;
    for (int sum = 0; sum < kSumCount; ++sum) {
        const MetricWeights::Row& w = weights.Weights(sum);
        Row& row = rows_[static_cast<std::size_t>(sum)];
        if (w.last < w.first) continue;
        const int p0 = upper[static_cast<std::size_t>(w.first - first)] - 1;
        const int p1 = upper[static_cast<std::size_t>(w.last - first)];
        std::vector<double> pixel(static_cast<std::size_t>(p1 - p0 + 1), 0.0);
        for (int nm = w.first; nm <= w.last; ++nm) {
            const double weight = w.weight[static_cast<std::size_t>(nm - w.first)] / 1000.0;
            const int j = upper[static_cast<std::size_t>(nm - first)];
            const double a = share[static_cast<std::size_t>(nm - first)];
            pixel[static_cast<std::size_t>(j - 1 - p0)] += weight * (1.0 - a);
            pixel[static_cast<std::size_t>(j - p0)] += weight * a;
        }
        row.first = p0;
        row.count = p1 - p0 + 1;
        row.weight.assign(static_cast<std::size_t>((row.count + kLanes - 1) / kLanes * kLanes), 0.0f);
        std::copy(pixel.begin(), pixel.end(), row.weight.begin());
        firstPixel_ = std::min(firstPixel_, p0);
        endPixel_ = std::max(endPixel_, p0 + row.count);
    }
    factorAt_.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double w = std::clamp(static_cast<double>(wavelengths[static_cast<std::size_t>(i)]), 400.0, 1050.0);
        int r = 1;
        while (r < kWavelengthRows - 1 && !(kWavelengthBreaks[r] > w)) ++r;
        if (factorRuns_.empty() || factorRuns_.back().row != r) factorRuns_.push_back({i, i, r});
        factorRuns_.back().end = i + 1;
        factorAt_[static_cast<std::size_t>(i)] =
            static_cast<float>((w - kWavelengthBreaks[r - 1]) / (kWavelengthBreaks[r] - kWavelengthBreaks[r - 1]));
    }
}

bool InstrumentWeights::Matches(const CSpectrumData& record) const {
    if (record.PixelCount() != pixels_ || record.HasExplicitWavelengths() != explicit_ || record.IsHType() != hType_)
        return false;
    if (explicit_) return record.GetWavelengths() == key_;
    // Bit for bit: a coefficient of -0 or NaN must not pass for another.
    for (std::size_t k = 0; k < key_.size(); ++k) {
        const float c = record.GetCoefficient(k);
        if (std::memcmp(&key_[k], &c, sizeof c) != 0) return false;
    }
    return true;
}

void InstrumentWeights::Sums(const CSpectrumData& record, int from, int to, double* sums) const {
    double rows[kWavelengthRows];
    TemperatureRowsAt(record.GetTemperature(), rows);
    // The pixels' W/m^2/um irradiance; a pixel without a calibration factor has none.
    const int end = std::min({endPixel_, static_cast<int>(record.GetCalibration().size()), record.PixelCount()});
    // Room for the last group of lanes of a row that ends at the last pixel.
    float e[512 + kLanes];
    std::vector<float> large;
    float* irradiance = e;
    if (endPixel_ > 512) {
        large.assign(static_cast<std::size_t>(endPixel_ + kLanes), 0.0f);
        irradiance = large.data();
    }
    const float* signal = record.GetSignal().data();
    const float* calibration = record.GetCalibration().data();
    const float dark = record.GetDarkOffset();
    const float* at = factorAt_.data();
    for (const FactorRun& run : factorRuns_) {
        const auto low = static_cast<float>(rows[run.row - 1]);
        const auto rise = static_cast<float>(rows[run.row] - rows[run.row - 1]);
        int i = std::max(run.first, firstPixel_);
        const int stop = std::min(run.end, end);
#if defined(__SSE2__)
        const __m128 d = _mm_set1_ps(dark), l = _mm_set1_ps(low), r = _mm_set1_ps(rise);
        for (; i + 4 <= stop; i += 4) {
            const __m128 f = _mm_add_ps(l, _mm_mul_ps(r, _mm_loadu_ps(at + i)));
            const __m128 s = _mm_mul_ps(_mm_sub_ps(_mm_loadu_ps(signal + i), d), _mm_loadu_ps(calibration + i));
            _mm_storeu_ps(irradiance + i, _mm_mul_ps(s, f));
        }
#endif
        for (; i < stop; ++i) irradiance[i] = (signal[i] - dark) * calibration[i] * (low + rise * at[i]);
    }
    for (int i = std::max(end, firstPixel_); i < endPixel_ + kLanes; ++i) irradiance[i] = 0.0f;
    for (int sum = from; sum < to; ++sum) {
        const Row& row = rows_[static_cast<std::size_t>(sum)];
        sums[sum] = row.count ? Dot(row.weight.data(), irradiance + row.first, row.count) : 0.0;
    }
}

}  // namespace metrics
