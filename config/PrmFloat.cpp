#include "config/PrmFloat.h"

#include <cmath>
#include <limits>

#include "platform/Text.h"

float CPrmFloat::Parse(const std::string& text) {
    double v = platform::LeadingDouble(text);
    // Narrowing a double beyond the float range is undefined; such texts become infinities, as the
    // hardware conversion would give.
    constexpr double kMax = std::numeric_limits<float>::max();
    if (v > kMax) return std::numeric_limits<float>::infinity();
    if (v < -kMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

std::string CPrmFloat::Format(float value) { return platform::FormatG(static_cast<double>(value)); }

std::string CPrmFloat::GetString() const { return Format(value_); }

bool CPrmFloat::SetString(const std::string& text) {
    value_ = Parse(text);
    return true;
}

std::string CPrmFloat::GetDefaultString() const { return Format(default_); }

bool CPrmFloat::SetDefaultString(const std::string& text) {
    default_ = Parse(text);
    return true;
}
