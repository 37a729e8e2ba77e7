#include "core/metrics/PlanckianLocus.h"

#include <algorithm>
#include <cmath>

#include "core/metrics/ReferenceTables.h"

namespace metrics {

namespace {

// Table steps of 0.1 %: the interpolation then errs by far less than a kelvin.
constexpr double kStep = 1.001;
// The nearest point is first sought among every kCoarse-th entry, then among the entries within
// two such strides of it: the distance to the locus has one minimum near a light within 0.05 of it.
constexpr int kCoarse = 16;

}  // namespace

double PlanckianLocus::Radiance(double kelvin, double nm) {
    const double m = nm * 1e-9;
    return 1.0 / (m * m * m * m * m * std::expm1(kC2 / (m * kelvin)));
}

void PlanckianLocus::Chromaticity(double kelvin, double& u, double& v) {
    const reference::Table& cmf = reference::kCmf1931;
    double x = 0, y = 0, z = 0;
    for (int r = 0; r < cmf.rows; ++r) {
        const double s = Radiance(kelvin, cmf.Wavelength(r));
        x += s * cmf.At(r, 1);
        y += s * cmf.At(r, 2);
        z += s * cmf.At(r, 3);
    }
    const double d = x + 15.0 * y + 3.0 * z;
    u = 4.0 * x / d;
    v = 6.0 * y / d;
}

const PlanckianLocus& PlanckianLocus::Instance() {
    static const PlanckianLocus locus;
    return locus;
}

PlanckianLocus::PlanckianLocus() {
    for (double t = kFirstKelvin;; t *= kStep) {
        if (t > kLastKelvin) t = kLastKelvin;
        double u, v;
        Chromaticity(t, u, v);
        t_.push_back(t);
        u_.push_back(u);
        v_.push_back(v);
        if (t == kLastKelvin) break;
    }
}

bool PlanckianLocus::Find(double u, double v, double& cct, double& duv) const {
    if (!std::isfinite(u) || !std::isfinite(v)) return false;
    const int n = static_cast<int>(t_.size());
    auto d2 = [&](int i) {
        const double du = u - u_[static_cast<std::size_t>(i)], dv = v - v_[static_cast<std::size_t>(i)];
        return du * du + dv * dv;
    };
    int m = 0;
    double best = d2(0);
    for (int i = kCoarse; i < n; i += kCoarse) {
        const double d = d2(i);
        if (d < best) best = d, m = i;
    }
    if (d2(n - 1) < best) best = d2(n - 1), m = n - 1;
    const int from = std::max(0, m - 2 * kCoarse), to = std::min(n - 1, m + 2 * kCoarse);
    for (int i = from; i <= to; ++i) {
        const double d = d2(i);
        if (d < best) best = d, m = i;
    }
    if (m == 0 || m == n - 1) return false;

    const auto at = [](const std::vector<double>& list, int i) { return list[static_cast<std::size_t>(i)]; };
    const double tp = at(t_, m - 1), t0 = at(t_, m), tn = at(t_, m + 1);
    const double dp = std::sqrt(d2(m - 1)), d0 = std::sqrt(d2(m)), dn = std::sqrt(d2(m + 1));
    const double up = at(u_, m - 1), vp = at(v_, m - 1), un = at(u_, m + 1), vn = at(v_, m + 1);

    // Triangular solution.
    const double l = std::hypot(un - up, vn - vp);
    const double x = (dp * dp - dn * dn + l * l) / (2.0 * l);
    const double tt = tp + (tn - tp) * (x / l);
    const double vtx = vp + (vn - vp) * (x / l);
    const double sign = v - vtx >= 0.0 ? 1.0 : -1.0;
    const double duvT = std::sqrt(std::max(0.0, dp * dp - x * x)) * sign;
    if (std::fabs(duvT) < 0.002) {
        cct = tt;
        duv = duvT;
        return std::isfinite(cct) && std::isfinite(duv);
    }
    // Parabolic solution.
    const double X = (tn - t0) * (tp - tn) * (t0 - tp);
    const double a = (tp * (dn - d0) + t0 * (dp - dn) + tn * (d0 - dp)) / X;
    const double b = -(tp * tp * (dn - d0) + t0 * t0 * (dp - dn) + tn * tn * (d0 - dp)) / X;
    const double c = -(dp * (tn - t0) * t0 * tn + d0 * (tp - tn) * tp * tn + dn * (t0 - tp) * tp * t0) / X;
    cct = -b / (2.0 * a);
    duv = (a * cct * cct + b * cct + c) * sign;
    return std::isfinite(cct) && std::isfinite(duv);
}

}  // namespace metrics
