// The derived values and Integrate look wavelengths up in a per-record table instead of
// re-evaluating the polynomial; they must agree bit for bit with a plain implementation of the
// search and the interpolation over the record's public per-pixel values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "core/data/DerivedWeights.h"
#include "core/data/SpectrumData.h"

namespace {

uint32_t Bits(float v) {
    uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
}

// The halving search as described, step by step. Reference records have finite wavelengths.
int RefNearest(const CSpectrumData& r, float x) {
    const int n = r.PixelCount();
    int a = n / 2;
    int step = a;
    while (true) {
        if (step >= 2) step = step / 2;
        if (a < 0) a = 0;
        if (a > n - 1) a = n - 1;
        const float d = r.Wavelength(a);
        if (d >= x) {
            if (a < 1) return 0;
            const float e = r.Wavelength(a - 1);
            if (x >= e) {
                const int64_t up = static_cast<int64_t>(d - x);
                const int64_t down = static_cast<int64_t>(x - e);
                return down < up ? a - 1 : a;
            }
            a = a - step;
        } else {
            if (a + 1 >= n) return n - 1;
            const float e = r.Wavelength(a + 1);
            if (e >= x) {
                const int64_t down = static_cast<int64_t>(x - d);
                const int64_t up = static_cast<int64_t>(e - x);
                return down < up ? a : a + 1;
            }
            a = a + step;
        }
    }
}

float RefAt(const CSpectrumData& r, float x, int unit) {
    const int n = r.PixelCount();
    const int b = RefNearest(r, x);
    int p = b + 1;
    if (b == 0) p = 1;
    else if (b == n - 1) p = b - 1;
    else if (r.Wavelength(b) >= x) p = b - 1;
    const double x0 = r.Wavelength(b), x1 = r.Wavelength(p);
    const double y0 = r.Irradiance(b, unit), y1 = r.Irradiance(p, unit);
    if (x0 == x1) return static_cast<float>(y0);
    return static_cast<float>((y1 - y0) * (x - x0) / (x1 - x0) + y0);
}

float RefIntegrate(const CSpectrumData& r, int from, int to) {
    float sum = 0;
    for (int l = from; l <= to; ++l) {
        float e = RefAt(r, static_cast<float>(l), 0);
        if (l == from || l == to) e = e / 2;
        sum = sum + e;
    }
    return sum / 1000;
}

struct Sums {
    float par, photon, lux;
};

Sums RefSums(const CSpectrumData& r) {
    float par = 0, photon = 0, lux = 0;
    for (int l = 400; l <= 700; ++l) {
        float e = RefAt(r, static_cast<float>(l), 0);
        if (l == 400 || l == 700) e = e / 2;
        par = par + e;
        photon = photon + static_cast<float>(l) * e / 1000;
    }
    photon = photon / static_cast<float>(2.998e8 * 6.626e-34 * 6.022e23);
    for (int k = 0; k < 471; ++k) {
        float e = RefAt(r, static_cast<float>(360 + k), 0);
        if (k == 0 || k == 470) e = e / 2;
        lux = lux + static_cast<float>(e * CSpectrumData::LuminousEfficiency(k));
    }
    return {par / 1000, photon / 1000, 683 * lux / 1000};
}

// Records of many shapes: instrument polynomials (five and six terms), dense pixels below 1 nm
// spacing where the truncated distances often tie, explicit wavelengths on whole and half
// nanometres, explicit random and unordered wavelengths, odd
// temperatures, dark offsets and negative signals.
CSpectrumData RandomRecord(std::mt19937& rng, int kind) {
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    CSpectrumData r;
    const int n = kind % 5 == 4 ? 2 + static_cast<int>(u(rng) * 60) : 256;
    r.SetTemperature(-30.0f + 90.0f * u(rng));
    if (kind % 7 == 3) r.SetDarkOffset(5.0f * u(rng));
    std::vector<float> signal(n), calibration(n);
    for (int i = 0; i < n; ++i) {
        signal[i] = 2000.0f * u(rng) - (kind % 6 == 5 ? 500.0f : 0.0f);
        calibration[i] = 0.001f + 0.01f * u(rng);
    }
    r.SetSignal(signal);
    r.SetCalibration(calibration);
    switch (kind % 4) {
    case 0:  // five-term polynomial over ~300..1100 nm
        r.SetTypeCode("100");
        r.SetCoefficient(0, 295.0f + 10.0f * u(rng));
        r.SetCoefficient(1, 3.3f + 0.2f * u(rng));
        r.SetCoefficient(2, -3e-4f * u(rng));
        r.SetCoefficient(3, 2e-7f * (u(rng) - 0.5f));
        r.SetCoefficient(4, 1e-10f * (u(rng) - 0.5f));
        break;
    case 1:  // six-term polynomial, pixels from 1
        r.SetTypeCode("1H0");
        r.SetCoefficient(0, 290.0f + 10.0f * u(rng));
        r.SetCoefficient(1, 3.2f + 0.3f * u(rng));
        r.SetCoefficient(2, -2e-4f * u(rng));
        r.SetCoefficient(3, 1e-7f * (u(rng) - 0.5f));
        r.SetCoefficient(4, 1e-10f * (u(rng) - 0.5f));
        r.SetCoefficient(5, 1e-13f * (u(rng) - 0.5f));
        break;
    case 2:  // dense pixels: spacing 0.3..1.5 nm
        r.SetTypeCode("100");
        r.SetCoefficient(0, 350.0f + 100.0f * u(rng));
        r.SetCoefficient(1, 0.3f + 1.2f * u(rng));
        r.SetCoefficient(4, 0.0f);
        break;
    default: {  // explicit wavelengths, ascending or (every other time) unordered
        std::vector<float> w(n);
        float x = 250.0f + 100.0f * u(rng);
        const float steps[] = {0.5f, 1.0f, 2.0f, 3.0f};
        const float step = steps[(kind / 4) % 4];
        for (int i = 0; i < n; ++i) {
            if (kind % 3 == 0) {
                // Whole and half nanometres: the integer wavelengths of the sums hit pixels exactly.
                w[i] = 300.0f + step * static_cast<float>(i);
            } else {
                x += 0.2f + 6.0f * u(rng);
                w[i] = x;
            }
        }
        if (kind % 8 == 7) std::shuffle(w.begin(), w.end(), rng);
        r.SetExplicitWavelengths(1);
        r.SetWavelengths(w.size(), w.data());
        break;
    }
    }
    return r;
}

}  // namespace

TEST(FastPath, SearchAndInterpolationMatchReference) {
    std::mt19937 rng(20261208);
    for (int kind = 0; kind < 120; ++kind) {
        const CSpectrumData r = RandomRecord(rng, kind);
        for (float x = 250.0f; x < 1200.0f; x += 3.7f) {
            ASSERT_EQ(r.NearestIndex(x), RefNearest(r, x)) << "record " << kind << " x " << x;
            const int unit = kind % 5;
            ASSERT_EQ(Bits(r.IrradianceAt(x, unit)), Bits(RefAt(r, x, unit))) << "record " << kind << " x " << x;
        }
    }
}

TEST(FastPath, DerivedValuesMatchReferenceBitForBit) {
    std::mt19937 rng(8675309);
    for (int kind = 0; kind < 160; ++kind) {
        CSpectrumData r = RandomRecord(rng, kind);
        const Sums ref = RefSums(r);
        ASSERT_EQ(Bits(r.GetPar()), Bits(ref.par)) << kind;
        ASSERT_EQ(Bits(r.GetPhoton()), Bits(ref.photon)) << kind;
        ASSERT_EQ(Bits(r.GetLux()), Bits(ref.lux)) << kind;
        ASSERT_EQ(Bits(r.GetUvB()), Bits(RefIntegrate(r, 280, 315))) << kind;
        ASSERT_EQ(Bits(r.GetUvA()), Bits(RefIntegrate(r, 315, 400))) << kind;
        ASSERT_EQ(Bits(r.Integrate(350, 1050)), Bits(RefIntegrate(r, 350, 1050))) << kind;
        ASSERT_EQ(Bits(r.Integrate(-3, -3)), Bits(RefIntegrate(r, -3, -3))) << kind;
    }
}

// The export takes all of a record's pixels at once; they are the per-pixel values, bit for bit.
TEST(FastPath, PixelValuesAreThePerPixelValues) {
    std::mt19937 rng(4242);
    std::vector<float> wavelengths, irradiances;
    for (int kind = 0; kind < 120; ++kind) {
        const CSpectrumData r = RandomRecord(rng, kind);
        for (int unit = 0; unit < 5; ++unit) {
            r.PixelValues(unit, wavelengths, irradiances);
            ASSERT_EQ(wavelengths.size(), static_cast<std::size_t>(r.PixelCount())) << kind;
            ASSERT_EQ(irradiances.size(), static_cast<std::size_t>(r.PixelCount())) << kind;
            for (int i = 0; i < r.PixelCount(); ++i) {
                ASSERT_EQ(Bits(wavelengths[static_cast<std::size_t>(i)]), Bits(r.Wavelength(i))) << kind << " pixel " << i;
                ASSERT_EQ(Bits(irradiances[static_cast<std::size_t>(i)]), Bits(r.Irradiance(i, unit)))
                    << kind << " unit " << unit << " pixel " << i;
            }
        }
    }
}

// The size of the terms a sum over from..to nm adds up (times weight), where a line extrapolated
// past the pixels cancels large terms.
double TermSize(const CSpectrumData& r, int from, int to, double weight) {
    double size = 0;
    const int n = r.PixelCount();
    for (int l = from; l <= to; ++l) {
        const int b = RefNearest(r, static_cast<float>(l));
        const int p = b == 0 ? 1 : b == n - 1 ? b - 1 : r.Wavelength(b) >= static_cast<float>(l) ? b - 1 : b + 1;
        const double x0 = r.Wavelength(b), x1 = r.Wavelength(p);
        const double s = x0 == x1 ? 0.0 : (l - x0) / (x1 - x0);
        size += std::abs(1 - s) * std::abs(r.Irradiance(b, 0)) + std::abs(s) * std::abs(r.Irradiance(p, 0));
    }
    return size * weight;
}

// Lists and graphs of many records take the derived values from weights prepared per instrument.
// One calculator sees the records of many instruments in turn, and records of one instrument with
// other signals, temperatures and (short) calibrations: each value is the record's own, within the
// rounding of its float sums (a few hundred terms).
TEST(FastPath, PreparedWeightsGiveTheRecordsOwnValues) {
    std::mt19937 rng(1207);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    DerivedCalculator calculator;
    for (int kind = 0; kind < 160; ++kind) {
        const CSpectrumData base = RandomRecord(rng, kind);
        for (int copy = 0; copy < 3; ++copy) {
            CSpectrumData r = base;
            std::vector<float> signal(base.GetSignal().begin(), base.GetSignal().end());
            for (float& s : signal) s *= 0.5f + u(rng);
            r.SetSignal(signal);
            r.SetTemperature(-30.0f + 90.0f * u(rng));
            if (copy == 2) r.SetCalibration(static_cast<std::size_t>(r.PixelCount() / 2), base.GetCalibration().data());
            const DerivedValues v = calculator.Of(r);
            const std::pair<float, float> pairs[] = {{v.par, r.GetPar()}, {v.photon, r.GetPhoton()}, {v.lux, r.GetLux()},
                                                     {v.uvA, r.GetUvA()}, {v.uvB, r.GetUvB()}};
            const double scale[] = {TermSize(r, 400, 700, 1e-3), TermSize(r, 400, 700, 700e-6 / 0.1196),
                                    TermSize(r, 360, 830, 0.683), TermSize(r, 315, 400, 1e-3), TermSize(r, 280, 315, 1e-3)};
            for (int k = 0; k < 5; ++k)
                ASSERT_NEAR(pairs[k].first, pairs[k].second, 1e-5 * scale[k] + 1e-30)
                    << "record " << kind << " copy " << copy << " value " << k;
        }
    }
}
