#pragma once
// The daily light integral: per local calendar day, the PPFD of its records integrated over time by
// the trapezoid rule between neighbours. A gap longer than three spans (the day's typical spacing,
// the median of its records' spacings) is not bridged, and the day is then incomplete.
#include <cstdint>
#include <vector>

namespace metrics {

struct PpfdSample {
    int64_t time;  // seconds since 1970
    double ppfd;   // umol/m^2/s
};

struct DayLightIntegral {
    int64_t midnight = 0;  // local midnight of the day
    double dli = 0.0;      // mol/m^2/d
    int records = 0;
    double hours = 0.0;  // the time between records that was integrated
    bool complete = false;  // two records at least, and no gap left out
};

// One entry per local day that has samples, in date order; samples may come in any order. A sample
// whose time has no local date is left out.
std::vector<DayLightIntegral> DailyLightIntegrals(std::vector<PpfdSample> samples);

}  // namespace metrics
