// The search time reading on arbitrary text: a text is either refused, leaving the time alone, or
// read as exactly the date and time its digits name, inside the years a search covers.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "core/data/SearchTime.h"
#include "core/platform/LocalTime.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // A zone with daylight saving: the missing and the doubled hour are the awkward texts.
    static const bool zone = [] {
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
        return true;
    }();
    (void)zone;

    const std::string text(reinterpret_cast<const char*>(data), size);
    constexpr platform::CalTime kUntouched = -12345;
    platform::CalTime t = kUntouched;
    if (ReadSearchTime(text, t) != SearchTimeRead::Time) {
        FUZZ_CHECK(t == kUntouched);
        return 0;
    }
    // The digit groups of the text, in order, are the fields of the time read; missing ones are 0.
    std::vector<int> groups;
    bool inGroup = false;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        FUZZ_CHECK(digit || c == '/' || c == '-' || c == ':' || c == ' ' || c == '\t');
        if (digit && !inGroup) groups.push_back(0);
        if (digit) groups.back() = groups.back() * 10 + (c - '0');
        inGroup = digit;
    }
    FUZZ_CHECK(groups.size() >= 3 && groups.size() <= 6);
    groups.resize(6, 0);
    platform::LocalFields f;
    FUZZ_CHECK(platform::SplitLocal(t, f));
    FUZZ_CHECK(f.year == groups[0] && f.month == groups[1] && f.day == groups[2] && f.hour == groups[3] &&
               f.minute == groups[4] && f.second == groups[5]);
    FUZZ_CHECK(f.year >= kSearchFirstYear && f.year <= kSearchLastYear);
    platform::CalTime again = kUntouched;
    FUZZ_CHECK(ReadSearchTime(text + "x", again) != SearchTimeRead::Time && again == kUntouched);
    return 0;
}
