// The %.9g writer against printf on the values a metrics table holds and on awkward ones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "core/platform/FloatText.h"

namespace {

std::string Printf(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

std::string Written(double v) {
    char buf[platform::kMaxG9];
    return std::string(buf, platform::WriteG9(buf, v));
}

}  // namespace

TEST(FloatText, WritesWhatPrintfWrites) {
    const double special[] = {0.0, -0.0, 1.0, -1.0, 0.5, 0.1, 1e-5, 1e-4, 9.9999999995e-5, 123456789.0, 1234567890.0,
                              999999999.5, 999999999.4, 99999.99995, 0.000123456789, 1e22, 1e23, 1e-300, 5e-324,
                              std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), std::nan(""), 2.5, 0.125, 100.0, 1e9, 1e8};
    for (double v : special) EXPECT_EQ(Written(v), Printf(v)) << v;
    // Exact halfway cases of the ninth digit: printf rounds them to even.
    for (double v : {1000000005.0, 1000000015.0, 123456789.5, 123456788.5, 12345678.25, 1.0000000075e3})
        EXPECT_EQ(Written(v), Printf(v)) << v;
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-40, 40);
    for (int i = 0; i < 300000; ++i) {
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (i % 3 == 0) v = static_cast<float>(v);  // the metrics' sums are floats
        if (i % 2) v = -v;
        ASSERT_EQ(Written(v), Printf(v)) << v;
    }
}
