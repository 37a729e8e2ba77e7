#include "core/metrics/MetricWeights.h"

#include <algorithm>

#include "core/metrics/LightMetrics.h"
#include "core/metrics/ReferenceTables.h"

namespace metrics {

namespace {

// h c NA with the defined SI values, J m / mol.
constexpr double kHcNa = 6.62607015e-34 * 299792458.0 * 6.02214076e23;

struct BandLimits {
    int from, to;
};
constexpr BandLimits kPhotonBands[] = {{400, 700}, {400, 750}, {315, 400}, {400, 500}, {500, 600},
                                       {600, 700}, {700, 750}, {655, 665}, {725, 735}};
static_assert(sizeof kPhotonBands / sizeof kPhotonBands[0] == kSumSolarFirst);

bool IsBand(int sum) { return sum >= 0 && sum <= kSumSolarLast; }

double Cmf(int c, int nm) { return reference::kCmf1931.At(nm - MetricWeights::kCmfFrom, 1 + c); }

}  // namespace

const double* SampleResponses(int nm) {
    static const std::vector<double> table = [] {
        constexpr int kRows = MetricWeights::kCmfTo - MetricWeights::kCmfFrom + 1;
        std::vector<double> t(static_cast<std::size_t>(kRows * MetricWeights::kReferenceSums));
        for (int w = MetricWeights::kCmfFrom; w <= MetricWeights::kCmfTo; ++w) {
            for (int k = 0; k < MetricWeights::kReferenceSums; ++k) {
                const int sample = k / 3;
                const double r = sample == 0 ? 1.0 : reference::kTestColours.Interpolate(sample, w);
                t[static_cast<std::size_t>((w - MetricWeights::kCmfFrom) * MetricWeights::kReferenceSums + k)] =
                    r * Cmf(k % 3, w);
            }
        }
        return t;
    }();
    return table.data() + (nm - MetricWeights::kCmfFrom) * MetricWeights::kReferenceSums;
}

void MetricWeights::Band(int sum, int& from, int& to) {
    if (sum >= kSumSolarFirst && sum <= kSumSolarLast) {
        from = kSolarBands[static_cast<std::size_t>(sum - kSumSolarFirst)].from;
        to = kSolarBands[static_cast<std::size_t>(sum - kSumSolarFirst)].to;
    } else if (sum >= 0 && sum < kSumSolarFirst) {
        from = kPhotonBands[sum].from;
        to = kPhotonBands[sum].to;
    } else {
        from = 0;
        to = -1;
    }
}

bool MetricWeights::BandCovered(int sum) const {
    const Row& r = Weights(sum);
    return IsBand(sum) && r.last > r.first;
}

bool MetricWeights::BandPartial(int sum) const {
    int from, to;
    Band(sum, from, to);
    const Row& r = Weights(sum);
    return r.first != from || r.last != to;
}

MetricWeights::MetricWeights(int first, int last)
    : first_(first), last_(last), colourFirst_(std::max(first, kCmfFrom)), colourLast_(std::min(last, kCmfTo)) {
    auto span = [&](Row& row, int from, int to) {
        row.first = std::max(from, first_);
        row.last = std::min(to, last_);
        row.weight.assign(static_cast<std::size_t>(std::max(0, row.last - row.first + 1)), 0.0);
    };
    for (int sum = 0; sum <= kSumSolarLast; ++sum) {
        int from, to;
        Band(sum, from, to);
        Row& row = rows_[static_cast<std::size_t>(sum)];
        span(row, from, to);
        if (row.last <= row.first) {
            row.last = row.first - 1;  // a single point integrates to nothing
            row.weight.clear();
            continue;
        }
        const bool photon = sum < kSumSolarFirst;
        double reference = 0.0;
        for (int nm = row.first; nm <= row.last; ++nm) {
            const double trapezoid = nm == row.first || nm == row.last ? 0.5 : 1.0;
            row.weight[static_cast<std::size_t>(nm - row.first)] = photon ? trapezoid * nm * 1e-3 / kHcNa : trapezoid;
            if (!photon) reference += trapezoid * reference::kSolarG173.Interpolate(2, nm);
        }
        if (!photon) solarReference_[static_cast<std::size_t>(sum - kSumSolarFirst)] = reference;
    }
    for (int c = 0; c < 3; ++c) {
        Row& row = rows_[static_cast<std::size_t>(kSumX + c)];
        span(row, kCmfFrom, kCmfTo);
        for (int nm = row.first; nm <= row.last; ++nm) row.weight[static_cast<std::size_t>(nm - row.first)] = kKm * Cmf(c, nm);
    }
    Row& mel = rows_[kSumMelanopic];
    span(mel, kColourFrom, kColourTo);
    for (int nm = mel.first; nm <= mel.last; ++nm)
        mel.weight[static_cast<std::size_t>(nm - mel.first)] = reference::kAlphaOpic.Interpolate(5, nm);
    for (int i = 1; i <= 14; ++i) {
        for (int c = 0; c < 3; ++c) {
            Row& row = rows_[static_cast<std::size_t>(kSumSampleFirst + 3 * (i - 1) + c)];
            span(row, kCmfFrom, kCmfTo);
            for (int nm = row.first; nm <= row.last; ++nm)
                row.weight[static_cast<std::size_t>(nm - row.first)] = kKm * SampleResponses(nm)[3 * i + c];
        }
    }
    for (int j = 0; j < 3; ++j) {
        for (int nm = colourFirst_; nm <= colourLast_; ++nm) {
            const double s = reference::kDaylight.Interpolate(1 + j, nm);
            const double* response = SampleResponses(nm);
            for (int k = 0; k < kReferenceSums; ++k)
                daylight_[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)] += s * response[k];
        }
    }
}

}  // namespace metrics
