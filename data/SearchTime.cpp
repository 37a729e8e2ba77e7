#include "data/SearchTime.h"

#include <algorithm>

#include "platform/Text.h"

platform::CalTime ParseSearchTime(const std::string& text) {
    // Only the first 31 characters take part, as in the box's fixed-size copy.
    const std::string copy = platform::FitBytes(text, 31);
    int fields[6] = {1900, 0, 0, 0, 0, 0};  // year, month (from 1), day, hour, minute, second
    static const int kLow[6] = {2000, 1, 1, 0, 0, 0};
    static const int kHigh[6] = {2035, 12, 31, 23, 59, 59};
    int count = 0;
    std::size_t i = 0;
    while (i < copy.size() && count < 6) {
        auto isSep = [](char c) { return c == ' ' || c == '\t' || c == '/' || c == ':'; };
        while (i < copy.size() && isSep(copy[i])) ++i;
        if (i >= copy.size()) break;
        std::size_t j = i;
        while (j < copy.size() && !isSep(copy[j])) ++j;
        long long v = platform::LeadingInteger(copy.substr(i, j - i));
        fields[count] = static_cast<int>(std::clamp<long long>(v, kLow[count], kHigh[count]));
        ++count;
        i = j;
    }
    if (count == 0) return -1;
    // Month 0 stands for "no month": January of the year, like the broken-down time's zero field.
    int month = count >= 2 ? fields[1] : 1;
    platform::CalTime t;
    // Daylight saving is decided by the calendar, as everywhere else the program reads a local time.
    if (!platform::JoinLocal(fields[0], month, fields[2], fields[3], fields[4], fields[5], t)) return -1;
    return t;
}

bool IsSearchTimeText(const std::string& text) {
    if (text.size() > 31) return false;
    auto isSep = [](char c) { return c == ' ' || c == '\t' || c == '/' || c == ':'; };
    int count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSep(text[i])) ++i;
        if (i >= text.size()) break;
        std::size_t j = i;
        if (text[j] == '+' || text[j] == '-') ++j;
        const std::size_t digits = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        if (j == digits || (j < text.size() && !isSep(text[j]))) return false;
        if (++count > 6) return false;
        i = j;
    }
    return count > 0;
}
