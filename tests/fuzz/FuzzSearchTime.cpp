// The data browser's time boxes on arbitrary text: every text with a field gives a time inside the
// clamped calendar range, and only a text without one gives none.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "data/SearchTime.h"
#include "platform/LocalTime.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool HasField(const std::string& text) {
    for (char c : platform::FitBytes(text, 31)) {
        if (c != ' ' && c != '\t' && c != '/' && c != ':') return true;
    }
    return false;
}

platform::CalTime At(int y, int mo, int d, int h, int mi, int s) {
    platform::CalTime t = 0;
    FUZZ_CHECK(platform::JoinLocal(y, mo, d, h, mi, s, t));
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // A zone with daylight saving: the missing and the doubled hour are the awkward texts.
    static const bool zone = [] {
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
        return true;
    }();
    (void)zone;
    static const platform::CalTime kLow = At(1999, 12, 31, 0, 0, 0);
    static const platform::CalTime kHigh = At(2035, 12, 31, 23, 59, 59);

    const std::string text(reinterpret_cast<const char*>(data), size);
    const platform::CalTime t = ParseSearchTime(text);
    if (!HasField(text)) {
        FUZZ_CHECK(t == -1);
        return 0;
    }
    FUZZ_CHECK(t != -1);
    FUZZ_CHECK(t >= kLow && t <= kHigh + 3600);
    return 0;
}
