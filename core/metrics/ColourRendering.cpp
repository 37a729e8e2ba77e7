#include "core/metrics/ColourRendering.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/metrics/MetricWeights.h"
#include "core/metrics/PlanckianLocus.h"

namespace metrics {

namespace {

constexpr int kSums = MetricWeights::kReferenceSums;

struct Uv {
    double u, v;
};

Uv ToUv(const double* xyz) {
    const double d = xyz[0] + 15.0 * xyz[1] + 3.0 * xyz[2];
    return {4.0 * xyz[0] / d, 6.0 * xyz[1] / d};
}

// The c and d of the von Kries transform in CIE 1960 uv.
double C(const Uv& p) { return (4.0 - p.u - 10.0 * p.v) / p.v; }
double D(const Uv& p) { return (1.708 * p.v + 0.404 - 1.481 * p.u) / p.v; }

struct Uvw {
    double u, v, w;
};

// U*, V*, W* of a sample of relative luminance y (white 100) at (u, v), white at (u0, v0).
Uvw ToUvw(double y, const Uv& p, const Uv& white) {
    const double w = 25.0 * std::cbrt(y) - 17.0;
    return {13.0 * w * (p.u - white.u), 13.0 * w * (p.v - white.v), w};
}

// The reference sums of Planckian radiators over all of 360..830 nm, every 2 K from 1000 K to the
// daylight reference, so a light below 5000 K costs a few multiplications instead of an exponential
// per nanometre. Cubic interpolation between the rows errs by less than 2e-7 of a sum.
class PlanckSums {
public:
    static constexpr double kFrom = PlanckianLocus::kFirstKelvin, kStep = 2.0;

    static const PlanckSums& Instance() {
        static const PlanckSums table;
        return table;
    }

    // sums[k] at kelvin (kFrom .. ColourRendering::kDaylightFrom).
    void At(double kelvin, double* sums) const {
        const int last = rows_ - 1;
        const double x = (kelvin - kFrom) / kStep;
        const int i = std::clamp(static_cast<int>(x), 1, last - 2);  // nodes i - 1 .. i + 2
        const double t = x - i;
        // Lagrange weights of the four nodes at t (nodes at -1, 0, 1, 2).
        const double w[4] = {-t * (t - 1) * (t - 2) / 6, (t + 1) * (t - 1) * (t - 2) / 2, -(t + 1) * t * (t - 2) / 2,
                             (t + 1) * t * (t - 1) / 6};
        for (int k = 0; k < kSums; ++k) sums[k] = 0.0;
        for (int n = 0; n < 4; ++n) {
            const double* row = &sums_[static_cast<std::size_t>((i - 1 + n) * kSums)];
            for (int k = 0; k < kSums; ++k) sums[k] += w[n] * row[k];
        }
    }

private:
    PlanckSums() : rows_(static_cast<int>((ColourRendering::kDaylightFrom - kFrom) / kStep) + 3) {
        sums_.assign(static_cast<std::size_t>(rows_ * kSums), 0.0);
        for (int r = 0; r < rows_; ++r) {
            double* row = &sums_[static_cast<std::size_t>(r * kSums)];
            for (int nm = MetricWeights::kCmfFrom; nm <= MetricWeights::kCmfTo; ++nm) {
                const double s = PlanckianLocus::Radiance(kFrom + kStep * r, nm);
                const double* response = SampleResponses(nm);
                for (int k = 0; k < kSums; ++k) row[k] += s * response[k];
            }
        }
    }

    int rows_;
    std::vector<double> sums_;
};

}  // namespace

bool ColourRendering::ReferenceSums(double cct, const MetricWeights& weights, double* sums) {
    if (!(cct >= 1.0) || cct > kDaylightTo) return false;
    if (cct < kDaylightFrom) {
        if (cct < PlanckSums::kFrom) return false;
        PlanckSums::Instance().At(cct, sums);
        // A light measured over part of 360..830 nm only is compared over that part.
        auto leaveOut = [&](int from, int to) {
            for (int nm = from; nm <= to; ++nm) {
                const double s = PlanckianLocus::Radiance(cct, nm);
                const double* r = SampleResponses(nm);
                for (int k = 0; k < kSums; ++k) sums[k] -= s * r[k];
            }
        };
        leaveOut(MetricWeights::kCmfFrom, weights.ColourFirst() - 1);
        leaveOut(weights.ColourLast() + 1, MetricWeights::kCmfTo);
        return true;
    }
    // The chromaticity of CIE daylight at the CCT, and from it the weights of S1 and S2.
    const double t = cct, t2 = t * t, t3 = t2 * t;
    const double x = t <= 7000.0 ? -4.6070e9 / t3 + 2.9678e6 / t2 + 0.09911e3 / t + 0.244063
                                 : -2.0064e9 / t3 + 1.9018e6 / t2 + 0.24748e3 / t + 0.237040;
    const double y = -3.0 * x * x + 2.870 * x - 0.275;
    const double m = 0.0241 + 0.2562 * x - 0.7341 * y;
    const double m1 = (-1.3515 - 1.7703 * x + 5.9114 * y) / m;
    const double m2 = (0.0300 - 31.4424 * x + 30.0717 * y) / m;
    const auto& s0 = weights.DaylightSums(0);
    const auto& s1 = weights.DaylightSums(1);
    const auto& s2 = weights.DaylightSums(2);
    for (std::size_t k = 0; k < kSums; ++k) sums[k] = s0[k] + m1 * s1[k] + m2 * s2[k];
    return true;
}

bool ColourRendering::Compute(const double* test, double cct, const MetricWeights& weights,
                              std::array<double, 15>& out) {
    double ref[kSums];
    if (!ReferenceSums(cct, weights, ref)) return false;
    if (!(test[1] > 0.0) || !(ref[1] > 0.0)) return false;
    const double kt = 100.0 / test[1], kr = 100.0 / ref[1];
    const Uv whiteK = ToUv(test), whiteR = ToUv(ref);
    const double ck = C(whiteK), dk = D(whiteK), cr = C(whiteR), dr = D(whiteR);
    double sum8 = 0.0;
    for (int i = 1; i <= 14; ++i) {
        const double* ti = test + 3 * i;
        const double* ri = ref + 3 * i;
        // The sample under the light, adapted to the reference white.
        const Uv p = ToUv(ti);
        const double ci = C(p), di = D(p);
        const double den = 16.518 + 1.481 * (cr / ck) * ci - (dr / dk) * di;
        const Uv adapted{(10.872 + 0.404 * (cr / ck) * ci - 4.0 * (dr / dk) * di) / den, 5.520 / den};
        const Uvw a = ToUvw(ti[1] * kt, adapted, whiteR);
        const Uvw b = ToUvw(ri[1] * kr, ToUv(ri), whiteR);
        const double de = std::sqrt((a.u - b.u) * (a.u - b.u) + (a.v - b.v) * (a.v - b.v) + (a.w - b.w) * (a.w - b.w));
        out[static_cast<std::size_t>(i)] = 100.0 - 4.6 * de;
        if (i <= 8) sum8 += out[static_cast<std::size_t>(i)];
    }
    out[0] = sum8 / 8.0;
    for (double r : out)
        if (!std::isfinite(r)) return false;
    return true;
}

}  // namespace metrics
