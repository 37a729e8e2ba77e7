#include "core/graph/TimeAxis.h"

#include <algorithm>
#include <cmath>

namespace time_axis {

namespace {

struct Candidate {
    Step step;
    double seconds;  // nominal length
};

constexpr double kDay = 86400.0;

const std::vector<Candidate>& Candidates() {
    static const std::vector<Candidate> list = [] {
        std::vector<Candidate> c;
        for (int n : {1, 2, 5, 10, 15, 30}) c.push_back({{Unit::kSecond, n}, double(n)});
        for (int n : {1, 2, 5, 10, 15, 30}) c.push_back({{Unit::kMinute, n}, 60.0 * n});
        for (int n : {1, 2, 3, 6, 12}) c.push_back({{Unit::kHour, n}, 3600.0 * n});
        for (int n : {1, 2, 7, 14}) c.push_back({{Unit::kDay, n}, kDay * n});
        for (int n : {1, 2, 3, 6}) c.push_back({{Unit::kMonth, n}, kDay * 30.44 * n});
        for (int n = 1; n <= 1000; n *= 10)
            for (int m : {1, 2, 5}) c.push_back({{Unit::kYear, n * m}, kDay * 365.25 * n * m});
        return c;
    }();
    return list;
}

// The k-th tick of the step at or before the fields f, as local fields.
bool TickAt(const platform::LocalFields& f, Step s, long long k, platform::CalTime& out) {
    const int n = s.count;
    const auto floorTo = [n](int v) { return v / n * n; };
    const long long kn = k * n;
    switch (s.unit) {
        case Unit::kSecond:
            return platform::JoinLocal(f.year, f.month, f.day, f.hour, f.minute, static_cast<int>(floorTo(f.second) + kn), out);
        case Unit::kMinute:
            return platform::JoinLocal(f.year, f.month, f.day, f.hour, static_cast<int>(floorTo(f.minute) + kn), 0, out);
        case Unit::kHour:
            return platform::JoinLocal(f.year, f.month, f.day, static_cast<int>(floorTo(f.hour) + kn), 0, 0, out);
        case Unit::kDay:
            return platform::JoinLocal(f.year, f.month, static_cast<int>(floorTo(f.day - 1) + 1 + kn), 0, 0, 0, out);
        case Unit::kMonth:
            return platform::JoinLocal(f.year, static_cast<int>(floorTo(f.month - 1) + 1 + kn), 1, 0, 0, 0, out);
        case Unit::kYear:
            return platform::JoinLocal(static_cast<int>(floorTo(f.year) + kn), 1, 1, 0, 0, 0, out);
    }
    return false;
}

const char* FormatOf(Unit unit, bool midnight) {
    switch (unit) {
        case Unit::kSecond: return midnight ? "%m/%d" : "%H:%M:%S";
        case Unit::kMinute:
        case Unit::kHour: return midnight ? "%m/%d" : "%H:%M";
        case Unit::kDay: return "%m/%d";
        case Unit::kMonth: return "%Y/%m";
        case Unit::kYear: return "%Y";
    }
    return "%H:%M";
}

}  // namespace

Step ChooseStep(platform::CalTime from, platform::CalTime to, int maxTicks) {
    const double span = static_cast<double>(std::max<platform::CalTime>(to - from, 0));
    maxTicks = std::max(maxTicks, 1);
    for (const Candidate& c : Candidates()) {
        // About floor(span / step) + 1 ticks; months and days of daylight saving are not all one
        // length, so a step near the limit is counted.
        const double nominal = std::floor(span / c.seconds) + 1;
        if (nominal > maxTicks + 1) continue;
        if (nominal < maxTicks || static_cast<int>(TicksOf(from, to, c.step).size()) <= maxTicks) return c.step;
    }
    return Candidates().back().step;
}

std::vector<Tick> TicksOf(platform::CalTime from, platform::CalTime to, Step step) {
    std::vector<Tick> ticks;
    platform::LocalFields f;
    if (to < from || !platform::SplitLocal(from, f)) return ticks;
    // A few more rounds than ticks: days and months are not all one length.
    for (long long k = 0; k < 10000; ++k) {
        platform::CalTime t;
        if (!TickAt(f, step, k, t) || t > to) break;
        if (t < from || (!ticks.empty() && t <= ticks.back().time)) continue;
        platform::LocalFields tf;
        platform::SplitLocal(t, tf);
        const bool midnight = tf.hour == 0 && tf.minute == 0 && tf.second == 0;
        ticks.push_back({t, platform::FormatLocal(t, FormatOf(step.unit, midnight))});
    }
    return ticks;
}

std::vector<Tick> Ticks(platform::CalTime from, platform::CalTime to, int maxTicks) {
    return TicksOf(from, to, ChooseStep(from, to, maxTicks));
}

}  // namespace time_axis
