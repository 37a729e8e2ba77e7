#include "core/metrics/DailyLightIntegral.h"

#include <algorithm>

#include "core/platform/LocalTime.h"

namespace metrics {

namespace {

constexpr double kGapSpans = 3.0;

DayLightIntegral Integrate(int64_t midnight, const PpfdSample* s, std::size_t n) {
    DayLightIntegral day;
    day.midnight = midnight;
    day.records = static_cast<int>(n);
    std::vector<int64_t> spacing;
    for (std::size_t k = 1; k < n; ++k)
        if (s[k].time > s[k - 1].time) spacing.push_back(s[k].time - s[k - 1].time);
    if (spacing.empty()) return day;
    auto middle = spacing.begin() + static_cast<std::ptrdiff_t>(spacing.size() / 2);
    std::nth_element(spacing.begin(), middle, spacing.end());
    const double span = static_cast<double>(*middle);
    double integral = 0.0, seconds = 0.0;
    bool gap = false;
    for (std::size_t k = 1; k < n; ++k) {
        const auto dt = static_cast<double>(s[k].time - s[k - 1].time);
        if (dt > kGapSpans * span) {
            gap = true;
            continue;
        }
        integral += 0.5 * (s[k].ppfd + s[k - 1].ppfd) * dt;
        seconds += dt;
    }
    day.dli = integral / 1e6;
    day.hours = seconds / 3600.0;
    day.complete = !gap;
    return day;
}

}  // namespace

std::vector<DayLightIntegral> DailyLightIntegrals(std::vector<PpfdSample> samples) {
    std::stable_sort(samples.begin(), samples.end(),
                     [](const PpfdSample& a, const PpfdSample& b) { return a.time < b.time; });
    std::vector<DayLightIntegral> days;
    std::size_t begin = 0;
    int64_t dayMidnight = 0;
    bool open = false;
    for (std::size_t k = 0; k <= samples.size(); ++k) {
        platform::CalTime midnight = 0;
        const bool dated = k < samples.size() && platform::LocalMidnight(samples[k].time, midnight);
        if (k < samples.size() && !dated) {
            if (open) days.push_back(Integrate(dayMidnight, &samples[begin], k - begin));
            open = false;
            continue;
        }
        if (open && (k == samples.size() || midnight != dayMidnight)) {
            days.push_back(Integrate(dayMidnight, &samples[begin], k - begin));
            open = false;
        }
        if (k < samples.size() && !open) {
            begin = k;
            dayMidnight = midnight;
            open = true;
        }
    }
    return days;
}

}  // namespace metrics
