#pragma once
// Correlated colour temperature and Duv by Ohno's method (LEUKOS 10(1), 2014): the nearest point of
// a table of Planckian radiators in CIE 1960 (u, v), refined by the triangular solution near the
// locus and the parabolic one further from it.
#include <vector>

namespace metrics {

class PlanckianLocus {
public:
    static constexpr double kC2 = 1.4388e-2;  // m K
    static constexpr double kFirstKelvin = 1000.0;
    static constexpr double kLastKelvin = 100000.0;

    // The one table of the process, built on first use.
    static const PlanckianLocus& Instance();

    // CIE 1960 u, v of a Planckian radiator at kelvin, from the CIE 1931 observer in 1 nm steps.
    static void Chromaticity(double kelvin, double& u, double& v);
    // Relative spectral radiance of a Planckian radiator at nm (the reference illuminant's shape).
    static double Radiance(double kelvin, double nm);

    // CCT (K) and Duv of (u, v); false when the nearest point of the table is one of its ends (the
    // light is no near-white of 1000 .. 100000 K).
    bool Find(double u, double v, double& cct, double& duv) const;

private:
    PlanckianLocus();

    std::vector<double> t_, u_, v_;
};

}  // namespace metrics
