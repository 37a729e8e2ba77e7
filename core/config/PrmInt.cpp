#include "core/config/PrmInt.h"

#include <limits>

#include "core/platform/Text.h"

int CPrmInt::Parse(const std::string& text) {
    long long v = platform::LeadingInteger(text);
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

std::string CPrmInt::Format(int value) { return std::to_string(value); }
