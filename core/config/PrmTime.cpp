#include "core/config/PrmTime.h"

#include <limits>
#include <string_view>

#include "core/platform/Text.h"

namespace {

bool IsSeparator(char c) { return c == ' ' || c == ':' || c == '/' || c == '\t' || c == '\r' || c == '\n'; }

int FieldValue(std::string_view piece) {
    long long v = platform::LeadingInteger(piece);
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

}  // namespace

CPrmTime::CPrmTime() : value_(platform::Now()), default_(value_) {}

bool CPrmTime::ParseText(const std::string& text, platform::CalTime& out) {
    int fields[6] = {1900, 1, 1, 0, 0, 0};
    std::string_view rest(text);
    int index = 0;
    while (!rest.empty() && index <= 5) {
        std::size_t sep = 0;
        while (sep < rest.size() && !IsSeparator(rest[sep])) ++sep;
        if (sep == rest.size()) {
            fields[index] = FieldValue(rest);
            break;
        }
        fields[index++] = FieldValue(rest.substr(0, sep));
        rest.remove_prefix(sep + 1);
    }
    const int year = fields[0], month = fields[1], day = fields[2];
    const int hour = fields[3], minute = fields[4], second = fields[5];
    // Negative clock fields are refused too: the calendar would otherwise quietly move the date back.
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    platform::CalTime t = 0;
    if (!platform::JoinLocal(year, month, day, hour, minute, second, t)) return false;
    out = t;
    return true;
}

platform::CalTime CPrmTime::Today(platform::CalTime t) {
    platform::LocalFields now, stored;
    platform::CalTime n = platform::Now();
    const bool nowOk = platform::SplitLocal(n, now);  // a failed split leaves every field at -1
    const bool storedOk = platform::SplitLocal(t, stored);
    // Join today's date with the stored clock fields, so that on a daylight-saving change day 9:00
    // still means 9:00 on the wall clock.
    platform::CalTime joined = 0;
    if (nowOk && storedOk &&
        platform::JoinLocal(now.year, now.month, now.day, stored.hour, stored.minute, stored.second, joined))
        return joined;
    return n - (now.hour * 3600 + now.minute * 60 + now.second) +
           (stored.hour * 3600 + stored.minute * 60 + stored.second);
}

std::string CPrmTime::Format(platform::CalTime t) { return platform::FormatLocal(t, "%Y/%m/%d %H:%M:%S"); }

std::string CPrmTime::GetString() const { return Format(value_); }

bool CPrmTime::SetString(const std::string& text) { return ParseText(text, value_); }

std::string CPrmTime::GetDefaultString() const { return Format(default_); }

bool CPrmTime::SetDefaultString(const std::string& text) { return ParseText(text, default_); }

void CPrmTime::MoveToToday() {
    value_ = Today(value_);
    default_ = Today(default_);
}
