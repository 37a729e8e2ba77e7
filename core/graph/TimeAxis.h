#pragma once
// Dated ticks of a time axis: the shortest round step, from a second to years, at which no more than
// a given number of ticks fall in the range, placed at round local times (whole minutes and hours,
// midnights, the first of a month or a year).
#include <string>
#include <vector>

#include "core/platform/LocalTime.h"

namespace time_axis {

enum class Unit { kSecond, kMinute, kHour, kDay, kMonth, kYear };

struct Step {
    Unit unit = Unit::kSecond;
    int count = 1;
};

struct Tick {
    platform::CalTime time = 0;
    std::string label;  // the time of day, or the date at a midnight and for steps of days and more
};

Step ChooseStep(platform::CalTime from, platform::CalTime to, int maxTicks);
// The ticks of that step within from..to, ascending.
std::vector<Tick> Ticks(platform::CalTime from, platform::CalTime to, int maxTicks);
std::vector<Tick> TicksOf(platform::CalTime from, platform::CalTime to, Step step);

}  // namespace time_axis
