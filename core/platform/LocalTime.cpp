#include "core/platform/LocalTime.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace platform {
namespace {

constexpr int kMinYear = 1970;
constexpr int kMaxYear = 3000;

std::mutex g_clockMutex;
std::function<int64_t()> g_clock;

bool InRange(const std::tm& tm) {
    int year = tm.tm_year + 1900;
    return year >= kMinYear && year <= kMaxYear;
}

void Invalidate(LocalFields& f) {
    f.year = f.month = f.day = f.hour = f.minute = f.second = f.weekday = f.isDst = -1;
}

}  // namespace

bool SplitLocal(CalTime t, LocalFields& out) {
    std::tm tm{};
    time_t tt = static_cast<time_t>(t);
    if (static_cast<CalTime>(tt) != t || !localtime_r(&tt, &tm) || !InRange(tm)) {
        Invalidate(out);
        return false;
    }
    out.year = tm.tm_year + 1900;
    out.month = tm.tm_mon + 1;
    out.day = tm.tm_mday;
    out.hour = tm.tm_hour;
    out.minute = tm.tm_min;
    out.second = tm.tm_sec;
    out.weekday = tm.tm_wday;
    out.isDst = tm.tm_isdst;
    return true;
}

namespace {

// A join asks the zone for several offsets (each call re-reads the zone's file) and reading a data
// folder converts one local time per record. Within an hour that is at least an hour away from any
// change of the zone's UTC offset, local time is a plain shift of UTC, so such hours are cached and
// the rest are joined in full.
struct HourCache {
    std::string tz;
    bool tzSet = false;
    int year = 0, month = 0, day = 0, hour = -1;
    CalTime start = 0;  // calendar time of hh:00:00
    long offset = 0;    // UTC offset from an hour before start to two hours after it
};

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<int64_t>(era) * 146097 + doe - 719468;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

long UtcOffsetAt(CalTime t, bool& ok) {
    std::tm tm{};
    time_t tt = static_cast<time_t>(t);
    ok = localtime_r(&tt, &tm) != nullptr;
    return ok ? tm.tm_gmtoff : 0;
}

// Local fields to calendar time. Not mktime: glibc's mktime reads a time of a repeated hour by the
// offset its previous call found, so one stored time could come back as either pass depending on
// what was read before it. Here a repeated time is always its first pass, and a time in a gap is
// read with the offset from before the gap (02:30 in a gap from 02:00 to 03:00 is 03:30).
bool FieldsJoin(int year, int month, int day, int hour, int minute, int second, CalTime& out) {
    // Months beyond 1..12 go into the year; every other field is a plain count of seconds.
    const int64_t months = static_cast<int64_t>(year) * 12 + (month - 1);
    const int64_t y = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const int m = static_cast<int>(months - y * 12) + 1;
    if (y < kMinYear - 1 || y > kMaxYear + 1) return false;
    const CalTime local = (DaysFromCivil(static_cast<int>(y), m, 1) + day - 1) * 86400 + int64_t{hour} * 3600 +
                          int64_t{minute} * 60 + second;
    // The offsets a day either side are the only ones the time can have; each gives a candidate
    // that holds when the offset is in effect at that instant.
    bool ok1, ok2;
    const long before = UtcOffsetAt(local - 86400, ok1), after = UtcOffsetAt(local + 86400, ok2);
    if (!ok1 || !ok2) return false;
    CalTime t = local - before;
    bool ok = false;
    if (UtcOffsetAt(t, ok) != before && ok) {
        const CalTime late = local - after;
        if (UtcOffsetAt(late, ok) == after && ok) t = late;
    }
    std::tm tm{};
    const time_t tt = static_cast<time_t>(t);
    if (static_cast<CalTime>(tt) != t || !localtime_r(&tt, &tm) || !InRange(tm)) return false;
    out = t;
    return true;
}

}  // namespace

bool JoinLocal(int year, int month, int day, int hour, int minute, int second, CalTime& out) {
    if (year < kMinYear - 1 || year > kMaxYear + 1) return false;
    // Fields outside the calendar (31 April, second 60) are normalised by the full join.
    const bool plain = month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 &&
                       minute >= 0 && minute <= 59 && second >= 0 && second <= 59 && year > kMinYear &&
                       year < kMaxYear;
    if (!plain) return FieldsJoin(year, month, day, hour, minute, second, out);

    thread_local HourCache cache;
    const char* tz = std::getenv("TZ");
    const bool tzSet = tz != nullptr;
    if (tzSet != cache.tzSet || (tzSet && cache.tz != tz)) {
        cache = HourCache{};
        cache.tzSet = tzSet;
        if (tzSet) cache.tz = tz;
    }
    if (cache.hour != hour || cache.day != day || cache.month != month || cache.year != year) {
        // With the offset of the cached hour, the hour asked for starts at its civil time less that
        // offset, provided the offset holds around it; the next hour (records come in time order)
        // needs only its own end checked. Anything else is joined in full.
        bool reused = false;
        if (cache.hour >= 0) {
            const CalTime start = DaysFromCivil(year, month, day) * 86400 + hour * 3600 - cache.offset;
            bool ok1 = false, ok2 = true, ok3 = true;
            if (start == cache.start + 3600) {
                reused = UtcOffsetAt(start + 7199, ok1) == cache.offset && ok1;
            } else {
                reused = UtcOffsetAt(start - 3600, ok1) == cache.offset && UtcOffsetAt(start, ok2) == cache.offset &&
                         UtcOffsetAt(start + 7199, ok3) == cache.offset && ok1 && ok2 && ok3;
            }
            if (reused) cache.start = start;
        }
        if (!reused) {
            CalTime start;
            if (!FieldsJoin(year, month, day, hour, 0, 0, start)) return false;
            bool ok1, ok2, ok3;
            long before = UtcOffsetAt(start - 3600, ok1), at = UtcOffsetAt(start, ok2), after = UtcOffsetAt(start + 7199, ok3);
            if (!ok1 || !ok2 || !ok3 || before != at || after != at) {
                cache.hour = -1;
                return FieldsJoin(year, month, day, hour, minute, second, out);
            }
            cache.start = start;
            cache.offset = at;
        }
        cache.year = year;
        cache.month = month;
        cache.day = day;
        cache.hour = hour;
    }
    out = cache.start + minute * 60 + second;
    return true;
}

bool JoinLocalUncached(int year, int month, int day, int hour, int minute, int second, CalTime& out) {
    if (year < kMinYear - 1 || year > kMaxYear + 1) return false;
    return FieldsJoin(year, month, day, hour, minute, second, out);
}

std::string FormatLocal(CalTime t, const char* format) {
    std::tm tm{};
    time_t tt = static_cast<time_t>(t);
    if (!format || !localtime_r(&tt, &tm) || !InRange(tm)) return {};
    char buf[256];
    size_t n = strftime(buf, sizeof buf, format, &tm);
    return std::string(buf, n);
}

bool LocalMidnight(CalTime t, CalTime& out) {
    LocalFields f;
    if (!SplitLocal(t, f)) return false;
    return JoinLocal(f.year, f.month, f.day, 0, 0, 0, out);
}

int64_t NowMilliseconds() {
    {
        std::lock_guard<std::mutex> lock(g_clockMutex);
        if (g_clock) return g_clock();
    }
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

CalTime Now() {
    int64_t ms = NowMilliseconds();
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

void SetClockForTesting(std::function<int64_t()> millisecondsSinceEpoch) {
    std::lock_guard<std::mutex> lock(g_clockMutex);
    g_clock = std::move(millisecondsSinceEpoch);
}

}  // namespace platform
