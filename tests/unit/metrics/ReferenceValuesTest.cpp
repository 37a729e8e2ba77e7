// Metrics of the CIE illuminants and of lights the metrics do not apply to, against published values.
#include <gtest/gtest.h>

#include "core/metrics/MetricsCalculator.h"
#include "core/metrics/PlanckianLocus.h"
#include "tests/unit/metrics/MetricsTestUtil.h"

using namespace metrics;
using metricstest::ReadSpd;
using metricstest::RecordOf;

namespace {

LightMetrics Of(const CSpectrumData& record) {
    MetricsCalculator calculator;
    return calculator.Compute(record);
}

}  // namespace

TEST(MetricsReference, IlluminantA) {
    const LightMetrics m = Of(RecordOf(ReadSpd("cie_illuminant_a"), 300.0f, 780.0f));
    // xy from 1 nm sums of the 5 nm table laid on 1.9 nm pixels: within 2e-4 of the published 4 decimals.
    EXPECT_NEAR(m.Get(kChromaticityX), 0.44758, 2e-4);
    EXPECT_NEAR(m.Get(kChromaticityY), 0.40745, 2e-4);
    // CCT "approximately 2856 K"; computed from the table by minimum distance 2855.6 K.
    EXPECT_NEAR(m.Get(kCct), 2856.0, 1.5);
    EXPECT_NEAR(m.Get(kDuv), 0.0, 2e-4);
    // A is its own (Planckian) reference: 99.996 published; the pixel interpolation costs < 0.1.
    EXPECT_NEAR(m.Get(kRa), 100.0, 0.1);
    // Computed melanopic DER 0.4957 (5 nm sums).
    EXPECT_NEAR(m.Get(kMelanopicDer), 0.4957, 0.002);
    // The record starts at 300 nm: UV-B only in part, UV-A whole.
    EXPECT_TRUE(m.IsPartial(kSolarFirst));
    EXPECT_FALSE(m.IsPartial(kPfdUva));
    EXPECT_FALSE(m.IsPartial(kPpfd));
}

TEST(MetricsReference, D65) {
    const LightMetrics m = Of(RecordOf(ReadSpd("cie_illuminant_d65"), 300.0f, 780.0f));
    // xy 0.31270, 0.32900 published (rounded); 0.312711, 0.329008 computed.
    EXPECT_NEAR(m.Get(kChromaticityX), 0.31271, 2e-4);
    EXPECT_NEAR(m.Get(kChromaticityY), 0.32901, 2e-4);
    // Ohno 2013 of the table: 6503.7 K, Duv 0.00321; pixel interpolation moves it a few kelvin.
    EXPECT_NEAR(m.Get(kCct), 6504.0, 5.0);
    EXPECT_NEAR(m.Get(kDuv), 0.0032, 1e-4);
    // D65 is the melanopic reference: DER 1 by definition (the record misses 360..379 nm of Y).
    EXPECT_NEAR(m.Get(kMelanopicDer), 1.0, 1e-3);
    EXPECT_NEAR(m.Get(kMelanopicEdi), m.Get(kY), 1e-3 * m.Get(kY));
    EXPECT_NEAR(m.Get(kRa), 100.0, 0.5);
}

TEST(MetricsReference, Fl2) {
    const LightMetrics m = Of(RecordOf(ReadSpd("cie_illuminant_fl2"), 380.0f, 780.0f));
    // CCT 4225 K, Duv 0.0019 (Ohno 2013, +-1 K and +-0.001 published); the mercury lines of the
    // 5 nm table are smeared by the 1.6 nm pixels, so 5 K and 0.0005.
    EXPECT_NEAR(m.Get(kCct), 4225.0, 5.0);
    EXPECT_NEAR(m.Get(kDuv), 0.0019, 5e-4);
    // Ra 64.23 published (1 nm), 64.16 from 5 nm sums; R1..R8 published as whole numbers.
    EXPECT_NEAR(m.Get(kRa), 64.2, 0.5);
    const double r[8] = {56, 77, 90, 57, 59, 67, 74, 33};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(m.Get(kR1 + i), r[i], 1.0) << "R" << i + 1;
    // R9 computed -83.9 from 5 nm sums.
    EXPECT_NEAR(m.Get(kR1 + 8), -83.9, 2.0);
}

TEST(MetricsReference, OhnoFromPublishedXyz) {
    // colour-science's Ohno 2013 test: XYZ (95.04, 100, 108.88) is 6503.30711709 K, Duv 0.00321729.
    const double X = 95.04, Y = 100.0, Z = 108.88;
    const double d = X + 15 * Y + 3 * Z;
    double cct, duv;
    ASSERT_TRUE(PlanckianLocus::Instance().Find(4 * X / d, 6 * Y / d, cct, duv));
    EXPECT_NEAR(cct, 6503.31, 0.5);
    EXPECT_NEAR(duv, 0.00321729, 2e-6);
}
