// Metrics from weights prepared per instrument against the record's own interpolation at each
// nanometre, on records of random instruments, temperatures, dark offsets and spectra.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/metrics/MetricsCalculator.h"
#include "tests/unit/metrics/MetricsTestUtil.h"

using namespace metrics;

namespace {

CSpectrumData RandomRecord(std::mt19937& rng) {
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    CSpectrumData r;
    const bool hType = u(rng) < 0.3f;
    r.SetTypeCode(hType ? "1H0" : "100");
    // ~300..1100 nm over 256 pixels, slightly bent like a grating; an 'H' type counts from 1.
    r.SetCoefficient(0, 290.0f + 30.0f * u(rng) - (hType ? 3.2f : 0.0f));
    r.SetCoefficient(1, 3.0f + 0.4f * u(rng));
    r.SetCoefficient(2, -4e-4f * u(rng));
    r.SetCoefficient(3, 5e-7f * u(rng));
    r.SetCoefficient(4, -1e-9f * u(rng));
    if (hType) r.SetCoefficient(5, 1e-12f * u(rng));
    r.SetTemperature(-30.0f + 90.0f * u(rng));  // beyond both ends of the factor table too
    r.SetDarkOffset(u(rng) < 0.5f ? 0.0f : 20.0f * u(rng));
    const int pixels = 256;
    std::vector<float> signal(pixels), calibration(pixels);
    // A smooth daylight-like hump with noise, sometimes a dark reading of noise only.
    const bool dark = u(rng) < 0.2f;
    const float peak = 450.0f + 250.0f * u(rng), level = 2000.0f * u(rng);
    for (int i = 0; i < pixels; ++i) {
        const float x = (static_cast<float>(i) - (peak - 300.0f) / 3.2f) / 90.0f;
        signal[static_cast<std::size_t>(i)] = (dark ? 0.0f : level * std::exp(-x * x)) + 10.0f * (u(rng) - 0.5f);
        calibration[static_cast<std::size_t>(i)] = 0.02f + 0.05f * u(rng);
    }
    r.SetSignal(signal);
    // Now and then a calibration table shorter than the pixels (those pixels have no irradiance).
    if (u(rng) < 0.1f) calibration.resize(200);
    r.SetCalibration(calibration);
    return r;
}

}  // namespace

TEST(MetricsPreparedWeights, EqualTheDirectComputationWithinSinglePrecision) {
    std::mt19937 rng(20240611);
    MetricsCalculator prepared, direct;
    int withRendering = 0;
    for (int n = 0; n < 300; ++n) {
        // Runs of records of one instrument, as a data folder holds them.
        const CSpectrumData first = RandomRecord(rng);
        for (int k = 0; k < 3; ++k) {
            CSpectrumData r = RandomRecord(rng);
            r.SetTypeCode(first.GetTypeCode());
            for (std::size_t c = 0; c < 6; ++c) r.SetCoefficient(c, first.GetCoefficient(c));
            const LightMetrics a = prepared.Compute(r);
            const LightMetrics b = direct.Direct(r);
            ASSERT_EQ(a.available, b.available) << "record " << n;
            ASSERT_EQ(a.partial, b.partial);
            withRendering += a.Has(kRa);
            // Sums are held to the float rounding of their terms: those of the same record with
            // every pixel's signal made positive add up to the sum of their sizes.
            CSpectrumData sizes = r;
            std::vector<float> signal = r.GetSignal();
            for (float& s : signal) s = std::fabs(s - r.GetDarkOffset()) + r.GetDarkOffset();
            sizes.SetSignal(signal);
            const LightMetrics terms = direct.Direct(sizes);
            for (int m = 0; m < kMetricCount; ++m) {
                if (!a.Has(m)) continue;
                double tolerance = 2e-5 * std::fabs(b.Get(m));
                if (m <= kPfdFarRed || (m >= kX && m <= kZ) || m == kMelanopicEdi || m >= kSolarFirst)
                    tolerance += 2e-6 * terms.Get(m);
                // What is derived from differences, to a matching absolute amount.
                if (m >= kRa && m <= kR14) tolerance = 2e-3;
                if (m == kDuv) tolerance = 1e-6;
                if (m == kCct) tolerance = 2e-5 * b.Get(m) + 0.05;
                EXPECT_NEAR(a.Get(m), b.Get(m), tolerance) << MetricName(m) << " of record " << n;
            }
        }
    }
    EXPECT_GT(withRendering, 100);  // the colour rendering path was exercised
}
