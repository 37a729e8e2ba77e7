#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/graph/Scale.h"

namespace {

std::vector<double> Ticks(double min, double max, bool inner) {
    CScale s;
    s.Compute(min, max, 7, inner);
    return s.Ticks();
}

void ExpectTicks(const std::vector<double>& got, double first, double step, std::size_t count) {
    ASSERT_EQ(got.size(), count);
    for (std::size_t i = 0; i < count; ++i) EXPECT_NEAR(got[i], first + step * static_cast<double>(i), 1e-12 * (1 + std::abs(first))) << i;
}

}  // namespace

TEST(Scale, InnerModeTicksLieAboveMinimumAndAtOrBelowMaximum) {
    ExpectTicks(Ticks(350, 1050, true), 400, 100, 7);
    // A minimum on a step is not a tick; the maximum is.
    ExpectTicks(Ticks(400, 1000, true), 500, 100, 6);
}

TEST(Scale, OuterModeTicksEncloseTheRange) {
    ExpectTicks(Ticks(0, 100, false), 0, 20, 7);
    ExpectTicks(Ticks(-3, 7, false), -4, 2, 7);
    // The best candidate may miss the desired count; ties go to the larger step.
    ExpectTicks(Ticks(0.0123, 0.0456, false), 0.01, 0.01, 5);
}

TEST(Scale, EqualBoundsAreWidenedByHalfEachWay) {
    ExpectTicks(Ticks(5, 5, false), 4.4, 0.2, 7);
    ExpectTicks(Ticks(0, 0, false), -0.6, 0.2, 7);
}

TEST(Scale, RecomputingReplacesTheTicks) {
    CScale s;
    s.Compute(0, 100, 7, false);
    s.Compute(350, 1050, 7, true);
    ASSERT_EQ(s.Count(), 7u);
    EXPECT_DOUBLE_EQ(s.At(0), 400);
}

TEST(Scale, DegenerateInputGivesABoundedList) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(Ticks(nan, 1, false).empty());
    EXPECT_TRUE(Ticks(0, inf, true).empty());
    EXPECT_TRUE(Ticks(-inf, inf, false).empty());
    // The span itself overflows.
    EXPECT_TRUE(Ticks(-1.7e308, 1.7e308, false).size() <= 1);
    // Bounds the widening cannot separate, and spans too small for a power of ten.
    EXPECT_EQ(Ticks(1e300, 1e300, false).size(), 1u);
    EXPECT_LE(Ticks(0, 5e-324, false).size(), 1u);
    EXPECT_LE(Ticks(1e20, 1e20 + 1e5, false).size(), 20u);
    // A reversed range gets the ticks of the same interval.
    ExpectTicks(Ticks(100, 0, false), 0, 20, 7);
    // A silly desired count still ends.
    CScale s;
    s.Compute(0, 1, 1 << 30, false);
    EXPECT_LE(s.Count(), 1000u);
}
