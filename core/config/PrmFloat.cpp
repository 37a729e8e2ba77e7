#include "core/config/PrmFloat.h"

#include <cmath>
#include <limits>

#include "core/platform/Text.h"

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
