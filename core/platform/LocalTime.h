#pragma once
// Calendar time: signed seconds since 1970-01-01 00:00:00 UTC. Everything shown, stored as text or
// split into fields is local time, with daylight saving decided by the calendar.
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

using CalTime = int64_t;

struct LocalFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int weekday = 0;  // 0 = Sunday
    int isDst = 0;
};

// Local fields of t. False when t lies outside 1970-01-01 00:00:00 .. 3000-12-31 23:59:59 local;
// the fields are then all -1.
bool SplitLocal(CalTime t, LocalFields& out);

// Calendar time of a local date and time (out-of-range fields are normalised, e.g. day 31 of a
// 30-day month becomes the 1st of the next). False when the normalised time lies outside the range above.
// The same fields always give the same time: a time the clocks show twice (the hour repeated when
// daylight saving ends) is its first pass; a time they skip is read with the offset before the skip.
bool JoinLocal(int year, int month, int day, int hour, int minute, int second, CalTime& out);

// The same without the cache of hours (tests compare the two).
bool JoinLocalUncached(int year, int month, int day, int hour, int minute, int second, CalTime& out);

// strftime-style formatting in local time ("%Y/%m/%d %H:%M:%S"); empty when t is out of range.
std::string FormatLocal(CalTime t, const char* format);

// Local midnight of t's date; false when out of range.
bool LocalMidnight(CalTime t, CalTime& out);

// Wall clock, replaceable for tests.
CalTime Now();
int64_t NowMilliseconds();  // ms since the epoch
void SetClockForTesting(std::function<int64_t()> millisecondsSinceEpoch);  // empty function restores

}  // namespace platform
