// The daily light integral: trapezoids between neighbours, gaps and the local day.
#include <gtest/gtest.h>

#include "core/metrics/DailyLightIntegral.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace metrics;
using datatest::Local;

namespace {

std::vector<PpfdSample> Every(int64_t from, int64_t to, int64_t step, double ppfd) {
    std::vector<PpfdSample> s;
    for (int64_t t = from; t <= to; t += step) s.push_back({t, ppfd});
    return s;
}

}  // namespace

TEST(DailyLightIntegral, ConstantLightAndGaps) {
    testsupport::TzGuard tz("Asia/Tokyo");
    // 400 umol/m^2/s for 16 hours is 23.04 mol/m^2/d; the samples come in any order.
    std::vector<PpfdSample> s = Every(Local(2025, 6, 1, 4), Local(2025, 6, 1, 20), 60, 400.0);
    std::reverse(s.begin(), s.end());
    auto days = DailyLightIntegrals(s);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].midnight, Local(2025, 6, 1));
    EXPECT_NEAR(days[0].dli, 23.04, 1e-9);
    EXPECT_EQ(days[0].records, 961);
    EXPECT_NEAR(days[0].hours, 16.0, 1e-9);
    EXPECT_TRUE(days[0].complete);

    // Three spans missing are still bridged; four are not, and the day says so.
    std::vector<PpfdSample> bridged, broken;
    for (const auto& p : s) {
        if (p.time <= Local(2025, 6, 1, 10, 0) || p.time >= Local(2025, 6, 1, 10, 3)) bridged.push_back(p);
        if (p.time <= Local(2025, 6, 1, 10, 0) || p.time >= Local(2025, 6, 1, 10, 4)) broken.push_back(p);
    }
    days = DailyLightIntegrals(bridged);
    EXPECT_NEAR(days[0].dli, 23.04, 1e-9);
    EXPECT_TRUE(days[0].complete);
    days = DailyLightIntegrals(broken);
    EXPECT_NEAR(days[0].dli, 400.0 * (16 * 3600 - 240) / 1e6, 1e-9);
    EXPECT_NEAR(days[0].hours, 16.0 - 4.0 / 60, 1e-9);
    EXPECT_FALSE(days[0].complete);
}

TEST(DailyLightIntegral, DaysEndAtLocalMidnight) {
    testsupport::TzGuard tz("Asia/Tokyo");
    // A ramp over midnight: each day integrates its own records only.
    std::vector<PpfdSample> s;
    for (int64_t t = Local(2025, 6, 1, 23); t <= Local(2025, 6, 2, 1); t += 600)
        s.push_back({t, static_cast<double>(t - Local(2025, 6, 1, 23)) / 10.0});
    s.push_back({Local(2025, 6, 4, 12), 900.0});  // a lone record
    const auto days = DailyLightIntegrals(s);
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0].records, 6);  // 23:00 .. 23:50
    EXPECT_NEAR(days[0].hours, 50.0 / 60, 1e-9);
    EXPECT_NEAR(days[0].dli, 0.5 * 300.0 * 3000 / 1e6, 1e-9);  // 0 to 300 umol/m^2/s in 50 minutes
    EXPECT_TRUE(days[0].complete);
    EXPECT_EQ(days[1].midnight, Local(2025, 6, 2));
    EXPECT_EQ(days[1].records, 7);  // 00:00 .. 01:00
    EXPECT_NEAR(days[1].dli, (360.0 + 720.0) / 2 * 3600 / 1e6, 1e-9);
    // Nothing to integrate between a single record and itself.
    EXPECT_EQ(days[2].records, 1);
    EXPECT_EQ(days[2].dli, 0.0);
    EXPECT_EQ(days[2].hours, 0.0);
    EXPECT_FALSE(days[2].complete);
}
