#pragma once
// The light-quality metrics of one spectrum. A value the spectrum cannot support is not available
// (never a number); one computed over part of its band only is marked partial.
#include <array>
#include <cmath>
#include <cstdint>

namespace metrics {

enum Metric : int {
    kPpfd,       // photon flux density 400..700 nm, umol/m^2/s
    kEppfd,      // 400..750 nm
    kPfdUva,     // 315..400 nm
    kPfdBlue,    // 400..500 nm
    kPfdGreen,   // 500..600 nm
    kPfdRed,     // 600..700 nm
    kPfdFarRed,  // 700..750 nm
    kRfr,        // photon flux 655..665 nm over 725..735 nm
    kX,          // CIE 1931 tristimulus values, Y in lx
    kY,
    kZ,
    kChromaticityX,  // CIE 1931 x, y
    kChromaticityY,
    kUPrime,  // CIE 1976 u', v'
    kVPrime,
    kCct,  // K
    kDuv,
    kRa,
    kR1,  // R1 .. R14 follow in order
    kR14 = kR1 + 13,
    kMelanopicEdi,  // lx
    kMelanopicDer,
    kSolarFirst,  // irradiance of each solar band over that of ASTM G173 global tilt
    kSolarLast = kSolarFirst + 3,
    kMetricCount
};

struct SolarBand {
    int from, to;  // nm
};
// The solar bands, in the order of the metrics from kSolarFirst.
constexpr std::array<SolarBand, 4> kSolarBands = {{{280, 315}, {315, 400}, {400, 700}, {700, 1050}}};

// The name of a metric as a column of heliarc-cli ("ppfd", "g173_280_315").
const char* MetricName(int metric);

struct LightMetrics {
    std::array<double, kMetricCount> values{};
    uint64_t available = 0;
    uint64_t partial = 0;

    bool Has(int m) const { return (available >> m) & 1u; }
    bool IsPartial(int m) const { return (partial >> m) & 1u; }
    double Get(int m) const { return values[static_cast<std::size_t>(m)]; }
    // A value that is no finite number (a record holding one) stays not available.
    void Set(int m, double v, bool part = false) {
        if (!std::isfinite(v)) return;
        values[static_cast<std::size_t>(m)] = v;
        available |= uint64_t{1} << m;
        if (part) partial |= uint64_t{1} << m;
    }
};

}  // namespace metrics
