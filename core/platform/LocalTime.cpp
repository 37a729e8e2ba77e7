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

// mktime is slow (it re-reads the zone's file on every call) and reading a data folder converts one
// local time per record. Within an hour that is at least an hour away from any change of the zone's
// UTC offset, local time is a plain shift of UTC, so such hours are cached and the rest go to mktime.
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

bool MktimeJoin(int year, int month, int day, int hour, int minute, int second, CalTime& out) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    tm.tm_wday = -1;  // mktime's -1 result is ambiguous; a changed weekday tells success
    time_t tt = mktime(&tm);
    if (tm.tm_wday == -1 || !InRange(tm)) return false;
    out = static_cast<CalTime>(tt);
    return true;
}

}  // namespace

bool JoinLocal(int year, int month, int day, int hour, int minute, int second, CalTime& out) {
    // Reject wildly out-of-range years before mktime, whose int fields would overflow.
    if (year < kMinYear - 1 || year > kMaxYear + 1) return false;
    // Fields outside the calendar (31 April, second 60) are normalised by mktime.
    const bool plain = month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 &&
                       minute >= 0 && minute <= 59 && second >= 0 && second <= 59 && year > kMinYear &&
                       year < kMaxYear;
    if (!plain) return MktimeJoin(year, month, day, hour, minute, second, out);

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
        // needs only its own end checked. Anything else goes to mktime.
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
            if (!MktimeJoin(year, month, day, hour, 0, 0, start)) return false;
            bool ok1, ok2, ok3;
            long before = UtcOffsetAt(start - 3600, ok1), at = UtcOffsetAt(start, ok2), after = UtcOffsetAt(start + 7199, ok3);
            if (!ok1 || !ok2 || !ok3 || before != at || after != at) {
                cache.hour = -1;
                return MktimeJoin(year, month, day, hour, minute, second, out);
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
    return MktimeJoin(year, month, day, hour, minute, second, out);
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
