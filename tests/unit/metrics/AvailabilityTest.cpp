// What a record can and cannot support: bands it covers in part or not at all, colour of a light
// far from white or of no light, and the band sums against their definitions.
#include <gtest/gtest.h>

#include <cmath>

#include "core/metrics/MetricsCalculator.h"
#include "core/metrics/ReferenceTables.h"
#include "core/metrics/SpectrumLocus.h"
#include "tests/unit/metrics/MetricsTestUtil.h"

using namespace metrics;
using metricstest::RecordOf;
using metricstest::Spd;

namespace {

Spd Flat(double value) { return Spd{{0.0, 2000.0}, {value, value}}; }

// h c NA, J m / mol.
constexpr double kHcNa = 6.62607015e-34 * 299792458.0 * 6.02214076e23;

}  // namespace

TEST(MetricsAvailability, BandsOutsideOrPartlyOutsideTheRecord) {
    MetricsCalculator calculator;
    // 1 W/m^2/um from 400 to 1000 nm.
    const LightMetrics m = calculator.Compute(RecordOf(Flat(1.0), 400.0f, 1000.0f));
    // PPFD of a flat spectrum: E (700^2 - 400^2) / 2 / (h c NA), E in W/m^2/nm.
    EXPECT_NEAR(m.Get(kPpfd), 1e-3 * (700.0 * 700 - 400.0 * 400) / 2 * 1e-3 / kHcNa, 1e-5);
    EXPECT_FALSE(m.IsPartial(kPpfd));
    EXPECT_NEAR(m.Get(kRfr), 660.0 / 730.0, 1e-5);
    // UV-B and UV-A lie below the first pixel; 400 nm alone is no band.
    EXPECT_FALSE(m.Has(kPfdUva));
    EXPECT_FALSE(m.Has(kSolarFirst));
    EXPECT_FALSE(m.Has(kSolarFirst + 1));
    EXPECT_TRUE(m.Has(kSolarFirst + 3));
    EXPECT_TRUE(m.IsPartial(kSolarFirst + 3));
    // Colour needs 380..780 nm.
    for (int k : {kX, kY, kChromaticityX, kCct, kDuv, kRa, kR1, kMelanopicEdi, kMelanopicDer}) EXPECT_FALSE(m.Has(k));

    const LightMetrics uv = calculator.Compute(RecordOf(Flat(1.0), 350.5f, 1050.0f));
    EXPECT_TRUE(uv.Has(kPfdUva));
    EXPECT_TRUE(uv.IsPartial(kPfdUva));
    EXPECT_TRUE(uv.Has(kX));
    EXPECT_FALSE(uv.Has(kSolarFirst));
    EXPECT_FALSE(uv.IsPartial(kSolarFirst + 3));
}

TEST(MetricsAvailability, SolarRatiosOfTheReferenceSpectrumAreOne) {
    // Pixels on every whole nanometre: the record's grid is G173 itself.
    const Spd g173 = metricstest::ReadSpd("astm_g173", 2);
    CSpectrumData r;
    std::vector<float> nm, signal;
    for (int w = 280; w <= 1050; ++w) {
        nm.push_back(static_cast<float>(w));
        signal.push_back(static_cast<float>(1000.0 * g173.At(w)));  // W/m^2/um
    }
    r.SetExplicitWavelengths(1);
    r.SetWavelengths(nm.size(), nm.data());
    r.SetSignal(signal.size(), signal.data());
    r.SetCalibration(std::vector<float>(nm.size(), 1.0f));
    r.SetTemperature(20.0f);
    MetricsCalculator calculator;
    const LightMetrics m = calculator.Compute(r);
    for (int b = 0; b < 4; ++b) {
        EXPECT_NEAR(m.Get(kSolarFirst + b), 1.0, 1e-6) << MetricName(kSolarFirst + b);
        EXPECT_FALSE(m.IsPartial(kSolarFirst + b));
    }
}

TEST(MetricsAvailability, ColourOfNoLightAndOfALightFarFromWhite) {
    MetricsCalculator calculator;
    const LightMetrics dark = calculator.Compute(RecordOf(Flat(0.0), 300.0f, 1100.0f));
    EXPECT_EQ(dark.Get(kPpfd), 0.0);
    EXPECT_EQ(dark.Get(kY), 0.0);
    EXPECT_TRUE(dark.Has(kMelanopicEdi));
    for (int k : {kRfr, kChromaticityX, kUPrime, kCct, kDuv, kRa, kMelanopicDer}) EXPECT_FALSE(dark.Has(k));

    // A red LED: a 20 nm wide line at 660 nm lies far off the Planckian locus.
    Spd led;
    for (int w = 300; w <= 1100; ++w) {
        led.nm.push_back(w);
        led.value.push_back(std::exp(-0.5 * std::pow((w - 660.0) / 8.5, 2.0)));
    }
    const LightMetrics red = calculator.Compute(RecordOf(led, 300.0f, 1100.0f));
    EXPECT_TRUE(red.Has(kChromaticityX));
    EXPECT_GT(red.Get(kChromaticityX), 0.6);
    EXPECT_FALSE(red.Has(kCct));
    EXPECT_FALSE(red.Has(kRa));
    EXPECT_FALSE(red.Has(kR1 + 8));

    // Noise can give positive X, Y and Z at a chromaticity no light has; a laser line lies on the
    // locus and counts.
    EXPECT_FALSE(SpectrumLocus::Contains(0.32, 0.04));
    EXPECT_FALSE(SpectrumLocus::Contains(0.6, 0.6));
    EXPECT_FALSE(SpectrumLocus::Contains(0.0, 0.5));
    EXPECT_TRUE(SpectrumLocus::Contains(0.3127, 0.3290));
    for (int nm : {380, 520, 700, 780}) {
        const auto& cmf = reference::kCmf1931;
        const int r = nm - 360;
        const double sum = cmf.At(r, 1) + cmf.At(r, 2) + cmf.At(r, 3);
        EXPECT_TRUE(SpectrumLocus::Contains(cmf.At(r, 1) / sum, cmf.At(r, 2) / sum)) << nm;
    }

    // A pixel that holds no number spoils what it takes part in, which is then not available.
    CSpectrumData spoilt = RecordOf(Flat(1.0), 300.0f, 1100.0f);
    std::vector<float> signal = spoilt.GetSignal();
    signal[99] = std::nanf("");  // 610.6 nm
    spoilt.SetSignal(signal);
    const LightMetrics nan = calculator.Compute(spoilt);
    EXPECT_TRUE(nan.Has(kPfdUva));
    EXPECT_TRUE(nan.Has(kPfdGreen));  // ends two pixels before it
    EXPECT_FALSE(nan.Has(kPfdRed));
    EXPECT_FALSE(nan.Has(kPpfd));
    EXPECT_FALSE(nan.Has(kY));

    // Wavelengths that do not ascend cover nothing.
    CSpectrumData bad = RecordOf(Flat(1.0), 300.0f, 1100.0f);
    bad.SetCoefficient(1, -3.0f);
    EXPECT_EQ(calculator.Compute(bad).available, 0u);
    EXPECT_EQ(calculator.Direct(bad).available, 0u);
}
