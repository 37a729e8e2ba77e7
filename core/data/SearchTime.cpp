#include "core/data/SearchTime.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// minDigits..maxDigits decimal digits at s[i]; i moves past every digit there.
bool Digits(std::string_view s, std::size_t& i, std::size_t minDigits, std::size_t maxDigits, int& value) {
    value = 0;
    std::size_t n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++n)
        if (n < maxDigits) value = value * 10 + (s[i] - '0');
    return n >= minDigits && n <= maxDigits;
}

}  // namespace

SearchTimeRead ReadSearchTime(std::string_view text, platform::CalTime& out) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    const std::string_view s = text.substr(b, e - b);

    int f[6] = {0, 0, 0, 0, 0, 0};  // year, month, day, hour, minute, second
    std::size_t i = 0;
    if (!Digits(s, i, 4, 4, f[0]) || i >= s.size() || (s[i] != '/' && s[i] != '-')) return SearchTimeRead::NotATime;
    const char dateSeparator = s[i++];
    if (!Digits(s, i, 1, 2, f[1]) || i >= s.size() || s[i++] != dateSeparator) return SearchTimeRead::NotATime;
    if (!Digits(s, i, 1, 2, f[2])) return SearchTimeRead::NotATime;
    if (i < s.size()) {
        if (!IsBlank(s[i])) return SearchTimeRead::NotATime;
        while (IsBlank(s[i])) ++i;  // s ends in no blank, so a digit follows
        for (int field = 3;; ++field) {
            if (!Digits(s, i, 1, 2, f[field])) return SearchTimeRead::NotATime;
            if (i == s.size()) break;
            if (s[i++] != ':' || field == 5) return SearchTimeRead::NotATime;
        }
    }
    if (f[0] < kSearchFirstYear || f[0] > kSearchLastYear) return SearchTimeRead::YearOutside;
    if (f[1] < 1 || f[1] > 12 || f[2] < 1 || f[3] > 23 || f[4] > 59 || f[5] > 59) return SearchTimeRead::NoSuchTime;
    // The calendar moves 31 April and a time in the hour daylight saving skips to another day or
    // hour; a text naming either names no time at all.
    platform::CalTime t = 0;
    platform::LocalFields got;
    if (!platform::JoinLocal(f[0], f[1], f[2], f[3], f[4], f[5], t) || !platform::SplitLocal(t, got) ||
        got.year != f[0] || got.month != f[1] || got.day != f[2] || got.hour != f[3] || got.minute != f[4] ||
        got.second != f[5])
        return SearchTimeRead::NoSuchTime;
    out = t;
    return SearchTimeRead::Time;
}
