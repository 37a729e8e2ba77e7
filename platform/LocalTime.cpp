#include "platform/LocalTime.h"

#include <chrono>
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

bool JoinLocal(int year, int month, int day, int hour, int minute, int second, CalTime& out) {
    // Reject wildly out-of-range years before mktime, whose int fields would overflow.
    if (year < kMinYear - 1 || year > kMaxYear + 1) return false;
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
