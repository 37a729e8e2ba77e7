#include "core/graph/Scale.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

// Far more than any axis shows; a guard against a step that the arithmetic made tiny.
constexpr std::int64_t kMaxTicks = 1000;

}  // namespace

void CScale::Compute(double min, double max, int desiredCount, bool inner) {
    ticks_.clear();
    if (!std::isfinite(min) || !std::isfinite(max)) return;
    if (min == max) {
        min -= 0.5;
        max += 0.5;
    }
    // A reversed range gets the ticks of the same interval.
    if (min > max) std::swap(min, max);
    const double span = max - min;
    if (!(span > 0) || !std::isfinite(span)) {
        ticks_.push_back(min);
        return;
    }
    const double d = std::pow(10.0, std::floor(std::log10(span)));
    if (!(d > 0) || !std::isfinite(d)) {
        ticks_.push_back(min);
        return;
    }
    const double steps[4] = {2 * d, d, 0.5 * d, 0.2 * d};
    bool found = false;
    double bestStep = 0;
    std::int64_t bestLo = 0, bestHi = 0, bestError = 0;
    for (double h : steps) {
        if (!(h > 0) || !std::isfinite(h)) continue;
        const double flo = std::floor(min / h);
        const double fhi = std::floor(max / h);
        // Beyond 2^53 the step no longer separates neighbouring ticks.
        if (!(std::abs(flo) < 9.0e15) || !(std::abs(fhi) < 9.0e15)) continue;
        std::int64_t lo = static_cast<std::int64_t>(flo);
        std::int64_t hi = static_cast<std::int64_t>(fhi);
        if (inner) {
            ++lo;
        } else {
            ++hi;
        }
        const std::int64_t error = std::llabs(static_cast<std::int64_t>(desiredCount) - (hi - lo + 1));
        if (!found || error < bestError) {
            found = true;
            bestStep = h;
            bestLo = lo;
            bestHi = hi;
            bestError = error;
        }
    }
    if (!found) {
        ticks_.push_back(min);
        return;
    }
    if (bestHi - bestLo + 1 > kMaxTicks) bestHi = bestLo + kMaxTicks - 1;
    for (std::int64_t i = bestLo; i <= bestHi; ++i) ticks_.push_back(static_cast<double>(i) * bestStep);
}
