#pragma once
// CIE 13.3-1995 colour rendering: the special indices R1..R14 and the general index Ra, from the
// test colour samples lit by the light and by its reference illuminant of the same CCT (Planckian
// below 5000 K, CIE daylight from S0, S1, S2 at or above), with von Kries adaptation in CIE 1960 uv
// and colour differences in CIE 1964 U*V*W*.
#include <array>

namespace metrics {

class MetricWeights;

class ColourRendering {
public:
    static constexpr double kDaylightFrom = 5000.0;  // K
    static constexpr double kDaylightTo = 25000.0;   // where CIE daylight is defined

    // test: X, Y, Z of the white (the light itself) and of samples 1..14 under the light, on any one
    // scale, summed over weights.ColourFirst()..ColourLast(). Fills Ra then R1..R14; false when no
    // reference illuminant exists for cct.
    static bool Compute(const double* test, double cct, const MetricWeights& weights, std::array<double, 15>& out);

    // X, Y, Z of the white and of samples 1..14 under the reference illuminant of cct, over the
    // weights' colour range; false above kDaylightTo or below 1000 K.
    static bool ReferenceSums(double cct, const MetricWeights& weights, double* sums);
};

}  // namespace metrics
