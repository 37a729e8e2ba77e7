#include "core/metrics/NmSpectrum.h"

#include <algorithm>
#include <cmath>

#include "core/data/SpectrumData.h"

namespace metrics {

NmSpectrum::NmSpectrum(int first, std::vector<double> values) : first_(first), values_(std::move(values)) {
    const int last = Last();
    const int from = std::max(first_, kLowest), to = std::min(last, kHighest);
    if (values_.empty() || to < from) {
        values_.clear();
        first_ = 0;
        return;
    }
    values_.erase(values_.begin() + (to - first_ + 1), values_.end());
    values_.erase(values_.begin(), values_.begin() + (from - first_));
    first_ = from;
}

bool NmSpectrum::Coverage(const float* wavelengths, int n, int& first, int& last) {
    if (n < 2) return false;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(wavelengths[i])) return false;
        if (i > 0 && !(wavelengths[i] > wavelengths[i - 1])) return false;
    }
    const double lo = std::ceil(static_cast<double>(wavelengths[0]));
    const double hi = std::floor(static_cast<double>(wavelengths[n - 1]));
    first = static_cast<int>(std::clamp(lo, static_cast<double>(kLowest), static_cast<double>(kHighest) + 1));
    last = static_cast<int>(std::clamp(hi, static_cast<double>(kLowest) - 1, static_cast<double>(kHighest)));
    return first <= last;
}

NmSpectrum NmSpectrum::FromRecord(const CSpectrumData& record) {
    std::vector<float> wl, irradiance;
    record.PixelValues(kUnitWm2um, wl, irradiance);
    int first = 0, last = 0;
    if (!Coverage(wl.data(), static_cast<int>(wl.size()), first, last)) return NmSpectrum();
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(last - first + 1));
    for (int nm = first; nm <= last; ++nm)
        values.push_back(static_cast<double>(record.IrradianceAt(static_cast<float>(nm), kUnitWm2um)) / 1000.0);
    return NmSpectrum(first, std::move(values));
}

}  // namespace metrics
