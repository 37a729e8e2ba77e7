#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A record whose pixel i lies at c0 + c1 * i nm, signal and calibration as given, at 20 degC
// (temperature factor 1).
CSpectrumData LinearRecord(float c0, float c1, const std::vector<float>& signal, float calibration = 1.0f) {
    CSpectrumData r;
    r.SetTypeCode("100");
    r.SetCoefficient(0, c0);
    r.SetCoefficient(1, c1);
    r.SetCoefficient(4, 0.0f);
    r.SetTemperature(20.0f);
    r.SetSignal(signal);
    r.SetCalibration(std::vector<float>(signal.size(), calibration));
    return r;
}

// 1 W/m^2/um at every wavelength from 300 to 1100 nm in 1 nm pixels.
CSpectrumData FlatRecord() { return LinearRecord(300.0f, 1.0f, std::vector<float>(801, 1.0f)); }

CSpectrumData ExplicitRecord(const std::vector<float>& wavelengths, const std::vector<float>& signal) {
    CSpectrumData r;
    r.SetExplicitWavelengths(1);
    r.SetTemperature(20.0f);
    r.SetWavelengths(wavelengths.size(), wavelengths.data());
    r.SetSignal(signal);
    r.SetCalibration(std::vector<float>(signal.size(), 1.0f));
    return r;
}

// A record with a single pixel at the given wavelength (c0 only) and temperature.
CSpectrumData OnePixelAt(float wavelength, float temperature) {
    CSpectrumData r = LinearRecord(wavelength, 0.0f, {1.0f});
    r.SetTemperature(temperature);
    return r;
}

}  // namespace

TEST(SpectrumRecord, ResetValues) {
    CSpectrumData r;
    r.SetMemo("m");
    r.SetFovCode(0);
    r.SetDarkOffset(2.0f);
    r.SetSignal({1.0f, 2.0f});
    r.SetCoefficient(0, 1.0f);
    r.GetPar();
    r.Reset();
    // A new record is a reset one.
    for (const CSpectrumData& x : {r, CSpectrumData()}) {
        EXPECT_EQ(x.GetMemo(), "");
        EXPECT_EQ(x.GetFovCode(), 3);
        EXPECT_EQ(x.FovText(), "ETC");
        EXPECT_EQ(x.GetDarkOffset(), 0.0f);
        EXPECT_EQ(x.PixelCount(), 0);
        EXPECT_TRUE(x.GetCoefficients().empty());
        EXPECT_EQ(x.GetSumsValid(), 0);
        EXPECT_EQ(x.GetUvValid(), 0);
        EXPECT_FALSE(x.HasExplicitWavelengths());
        EXPECT_EQ(x.GetTime(), 0);
        EXPECT_EQ(x.GetValid(), 0);
    }
}

TEST(SpectrumRecord, FovTextAndDarkOffsetFlag) {
    CSpectrumData r;
    const char* expected[] = {"180", "90", "45", "ETC", "ETC"};
    for (int code = 0; code < 5; ++code) {
        r.SetFovCode(code);
        EXPECT_EQ(r.FovText(), expected[code]) << code;
    }
    r.SetFovCode(-1);
    EXPECT_EQ(r.FovText(), "ETC");
    EXPECT_EQ(r.HasDarkOffset(), 0);
    r.SetDarkOffset(-0.25f);
    EXPECT_EQ(r.HasDarkOffset(), 1);
    r.SetDarkOffset(kNaN);
    EXPECT_EQ(r.HasDarkOffset(), 1);
}

TEST(SpectrumRecord, FormatTimeInLocalTime) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    CSpectrumData r;
    r.SetTime(86400 + 3661);
    EXPECT_EQ(r.FormatTime("%Y/%m/%d"), "1970/01/02");
    EXPECT_EQ(r.FormatTime("%H:%M:%S"), "01:01:01");
    EXPECT_EQ(r.FormatTime(nullptr), "");
    r.SetTime(-1);
    EXPECT_EQ(r.FormatTime("%Y"), "");
    if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
    tzset();
}

TEST(SpectrumRecord, SettersGrowAndReplaceLists) {
    CSpectrumData r;
    r.SetCoefficient(3, 7.5f);
    ASSERT_EQ(r.GetCoefficients().size(), 4u);
    EXPECT_EQ(r.GetCoefficient(0), 0.0f);
    EXPECT_EQ(r.GetCoefficient(3), 7.5f);
    EXPECT_EQ(r.GetCoefficient(10), 0.0f);  // beyond the list
    r.SetCoefficient(1, 2.0f);
    EXPECT_EQ(r.GetCoefficients().size(), 4u);
    // A wild index (e.g. SIZE_MAX, where index + 1 wraps) is ignored instead of overrunning.
    r.SetCoefficient(static_cast<std::size_t>(-1), 1.0f);
    r.SetCoefficient(CSpectrumData::kMaxCoefficients, 1.0f);
    EXPECT_EQ(r.GetCoefficients().size(), 4u);

    const float values[] = {1, 2, 3};
    r.SetSignal(3, values);
    EXPECT_EQ(r.PixelCount(), 3);
    r.SetSignal(2, nullptr);
    EXPECT_EQ(r.PixelCount(), 0);
    r.SetCalibration(3, values);
    EXPECT_EQ(r.GetCalibration()[2], 3.0f);
}

TEST(Wavelength, PolynomialOrderAndTypeCodes) {
    CSpectrumData r;
    const float c[] = {300.0f, 2.0f, 0.5f, 0.25f, 0.125f, 0.0625f};
    for (int k = 0; k < 6; ++k) r.SetCoefficient(k, c[k]);
    r.SetTypeCode("100");
    EXPECT_EQ(r.Wavelength(0), 300.0f);
    EXPECT_EQ(r.Wavelength(2), 300.0f + 4.0f + 2.0f + 2.0f + 2.0f);  // c5 unused
    r.SetTypeCode("1H0");
    EXPECT_TRUE(r.IsHType());
    EXPECT_EQ(r.Wavelength(0), 300.0f + 2.0f + 0.5f + 0.25f + 0.125f + 0.0625f);  // n = 1
    EXPECT_EQ(r.Wavelength(1), 300.0f + 4.0f + 2.0f + 2.0f + 2.0f + 2.0f);       // n = 2
    r.SetTypeCode("1H");  // too short for the six-term form
    EXPECT_FALSE(r.IsHType());
    EXPECT_EQ(r.Wavelength(0), 300.0f);
    r.SetTypeCode("XH12");
    EXPECT_TRUE(r.IsHType());

    // Realistic coefficients: the terms are added in the stated order, each power built by repeated
    // multiplication, all in single precision.
    CSpectrumData q;
    const float d[] = {301.37f, 3.1473f, -2.713e-4f, -1.05e-7f, 3.3e-11f};
    for (int k = 0; k < 5; ++k) q.SetCoefficient(k, d[k]);
    for (int i = 0; i < 256; ++i) {
        volatile float n = static_cast<float>(i);
        volatile float t1 = d[1] * n + d[0];
        volatile float t2 = d[2] * n * n;
        volatile float t3 = d[3] * n * n * n;
        volatile float t4 = d[4] * n * n * n * n;
        volatile float s = t1 + t2;
        s = s + t3;
        s = s + t4;
        EXPECT_EQ(q.Wavelength(i), s) << i;
    }
}

TEST(Wavelength, MissingCoefficientsAndExplicitList) {
    CSpectrumData r;
    r.SetCoefficient(0, 350.0f);
    r.SetCoefficient(1, 2.0f);  // c2..c4 missing: count as 0
    EXPECT_EQ(r.Wavelength(10), 370.0f);
    r.SetTypeCode("1H0");  // c5 missing too
    EXPECT_EQ(r.Wavelength(10), 372.0f);

    const std::vector<float> w = {400.0f, 410.0f};
    CSpectrumData e = ExplicitRecord(w, {1.0f, 1.0f});
    EXPECT_TRUE(e.HasExplicitWavelengths());
    EXPECT_EQ(e.Wavelength(1), 410.0f);
    EXPECT_EQ(e.Wavelength(2), 0.0f);
    EXPECT_EQ(e.Wavelength(-1), 0.0f);
}

TEST(TemperatureFactor, ExactlyOneAt20Degrees) {
    for (float w : {250.0f, 400.0f, 450.0f, 512.3f, 733.3f, 1000.0f, 1049.9f, 1050.0f, 2000.0f})
        EXPECT_EQ(OnePixelAt(w, 20.0f).TemperatureFactor(0), 1.0) << w;
}

TEST(TemperatureFactor, InterpolatesAndClampsAtTableEdges) {
    EXPECT_DOUBLE_EQ(OnePixelAt(450.0f, 0.0f).TemperatureFactor(0), (1.02195609 + 1.01799894) / 2);
    // Between all four neighbours: 25 degC, 650 nm.
    const double row600 = 1.0 + (0.99537617 - 1.0) / 2;
    const double row700 = 1.0 + (0.99004771 - 1.0) / 2;
    EXPECT_NEAR(OnePixelAt(650.0f, 25.0f).TemperatureFactor(0), (row600 + row700) / 2, 1e-12);
    // Outside the table the nearest edge counts.
    EXPECT_EQ(OnePixelAt(400.0f, -20.0f).TemperatureFactor(0), 0.971537);
    EXPECT_EQ(OnePixelAt(300.0f, -45.0f).TemperatureFactor(0), 0.971537);
    EXPECT_DOUBLE_EQ(OnePixelAt(1050.0f, 50.0f).TemperatureFactor(0), 0.8061674);
    EXPECT_EQ(OnePixelAt(1800.0f, 90.0f).TemperatureFactor(0), OnePixelAt(1050.0f, 50.0f).TemperatureFactor(0));
    EXPECT_DOUBLE_EQ(OnePixelAt(1100.0f, -30.0f).TemperatureFactor(0), 1.44094488);
    EXPECT_DOUBLE_EQ(OnePixelAt(350.0f, 45.0f).TemperatureFactor(0), (1.06224066 + 1.08704883) / 2);
}

TEST(NearestIndex, TiesPickTheHigherPixel) {
    const CSpectrumData r = ExplicitRecord({400.2f, 403.1f}, {1.0f, 1.0f});
    EXPECT_EQ(r.NearestIndex(401.5f), 1);  // both distances truncate to 1
    EXPECT_EQ(r.NearestIndex(402.0f), 1);  // 1 and 1
    EXPECT_EQ(r.NearestIndex(401.0f), 0);  // 0 against 2
    EXPECT_EQ(r.NearestIndex(400.1f), 0);  // below the first pixel
    const CSpectrumData s = ExplicitRecord({400.0f, 404.0f}, {1.0f, 1.0f});
    EXPECT_EQ(s.NearestIndex(401.2f), 0);  // 1 against 2
    EXPECT_EQ(s.NearestIndex(402.9f), 1);
}

TEST(NearestIndex, EndsAndEveryPixel) {
    const CSpectrumData r = LinearRecord(300.0f, 3.0f, std::vector<float>(256, 1.0f));
    EXPECT_EQ(r.NearestIndex(0.0f), 0);
    EXPECT_EQ(r.NearestIndex(-kInf), 0);
    EXPECT_EQ(r.NearestIndex(300.0f), 0);
    EXPECT_EQ(r.NearestIndex(5000.0f), 255);
    EXPECT_EQ(r.NearestIndex(kInf), 255);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(r.NearestIndex(300.0f + 3.0f * i), i);
        EXPECT_EQ(r.NearestIndex(300.0f + 3.0f * i + 0.9f), i);  // 0 against 2
        EXPECT_EQ(r.NearestIndex(300.0f + 3.0f * i + 2.2f), std::min(i + 1, 255));
    }
}

TEST(NearestIndex, DegenerateRecordsGiveAPixelInRange) {
    CSpectrumData empty;
    EXPECT_EQ(empty.NearestIndex(500.0f), 0);
    EXPECT_EQ(empty.IrradianceAt(500.0f, 0), 0.0f);
    const CSpectrumData one = LinearRecord(500.0f, 0.0f, {3.0f});
    EXPECT_EQ(one.NearestIndex(100.0f), 0);
    EXPECT_EQ(one.NearestIndex(900.0f), 0);
    EXPECT_EQ(one.IrradianceAt(500.0f, 0), 0.0f);  // no line through a single pixel

    // Non-finite wavelengths or queries end the search with a pixel in range.
    const CSpectrumData nan = ExplicitRecord(std::vector<float>(100, kNaN), std::vector<float>(100, 1.0f));
    const CSpectrumData inf = ExplicitRecord(std::vector<float>(100, kInf), std::vector<float>(100, 1.0f));
    std::vector<float> mixed(100);
    for (int i = 0; i < 100; ++i) mixed[i] = (i % 3 == 0) ? kNaN : (i % 3 == 1 ? -kInf : 400.0f + i);
    const CSpectrumData mix = ExplicitRecord(mixed, std::vector<float>(100, 1.0f));
    for (const CSpectrumData* r : {&nan, &inf, &mix, &one}) {
        for (float x : {kNaN, kInf, -kInf, 500.0f, 3e38f}) {
            const int k = r->NearestIndex(x);
            EXPECT_GE(k, 0);
            EXPECT_LT(k, r->PixelCount());
            (void)r->IrradianceAt(x, 0);
        }
    }
}

TEST(IrradianceAt, PixelValuesAndExtrapolation) {
    // Pixels at 400, 410, 420, 430 nm with 2, 4, 8, 8 W/m^2/um.
    const CSpectrumData r = LinearRecord(400.0f, 10.0f, {2.0f, 4.0f, 8.0f, 8.0f});
    EXPECT_EQ(r.IrradianceAt(400.0f, 0), r.Irradiance(0, 0));
    EXPECT_EQ(r.IrradianceAt(400.0f, 3), r.Irradiance(0, 3));
    EXPECT_FLOAT_EQ(r.IrradianceAt(395.0f, 0), 1.0f);    // line through pixels 0 and 1
    EXPECT_FLOAT_EQ(r.IrradianceAt(380.0f, 0), -2.0f);
    EXPECT_FLOAT_EQ(r.IrradianceAt(405.0f, 0), 3.0f);
    EXPECT_FLOAT_EQ(r.IrradianceAt(412.0f, 0), 4.8f);    // nearest 410, partner 420
    EXPECT_FLOAT_EQ(r.IrradianceAt(418.0f, 0), 7.2f);    // nearest 420, partner 410
    EXPECT_FLOAT_EQ(r.IrradianceAt(440.0f, 0), 8.0f);    // beyond the last pair, which is flat
    const CSpectrumData up = LinearRecord(400.0f, 10.0f, {2.0f, 4.0f});
    EXPECT_FLOAT_EQ(up.IrradianceAt(430.0f, 0), 8.0f);   // extrapolated above the last pixel

    // Two pixels at one wavelength: the nearest pixel's value instead of a division by zero.
    const CSpectrumData same = ExplicitRecord({500.0f, 500.0f}, {3.0f, 5.0f});
    EXPECT_TRUE(std::isfinite(same.IrradianceAt(501.0f, 0)));
}

TEST(Irradiance, FiveUnits) {
    // E = (10.5 - 0.5) * 2 * 1 = 20 W/m^2/um at 500 nm.
    CSpectrumData r = LinearRecord(500.0f, 1.0f, {10.5f, 10.5f}, 2.0f);
    r.SetDarkOffset(0.5f);
    const double chna = 2.998e8 * 6.626e-34 * 6.022e23;
    const double ch = 2.998e8 * 6.626e-34;
    EXPECT_FLOAT_EQ(r.Irradiance(0, kUnitWm2um), 20.0f);
    EXPECT_FLOAT_EQ(r.Irradiance(0, kUnitUmolM2sUm), static_cast<float>(500.0 * 20.0 / 1000.0 / chna));
    EXPECT_NEAR(r.Irradiance(0, kUnitUmolM2sUm), 83.5942, 1e-3);
    EXPECT_FLOAT_EQ(r.Irradiance(0, kUnitMWcm2nm), 0.002f);
    EXPECT_FLOAT_EQ(r.Irradiance(0, kUnitWm2nm), 0.02f);
    EXPECT_FLOAT_EQ(r.Irradiance(0, kUnitPhotonCm2sNm), static_cast<float>(500.0 * 20e-16 / ch));
    EXPECT_NEAR(r.Irradiance(0, kUnitPhotonCm2sNm) / 5.0341e12, 1.0, 1e-4);
    EXPECT_FLOAT_EQ(r.Irradiance(1, kUnitUmolM2sUm), static_cast<float>(501.0 * 20.0 / 1000.0 / chna));
    EXPECT_EQ(r.Irradiance(0, 9), 20.0f);  // an unknown unit reads as W/m^2/um

    // The temperature factor applies: 0 degC at 400 nm.
    CSpectrumData cold = LinearRecord(400.0f, 1.0f, {3.0f, 3.0f}, 0.5f);
    cold.SetTemperature(0.0f);
    EXPECT_FLOAT_EQ(cold.Irradiance(0, 0), 1.5f * 1.02195609f);
}

TEST(Irradiance, PixelsOutsideTheListsGiveZero) {
    CSpectrumData r = LinearRecord(400.0f, 1.0f, {1.0f, 2.0f, 3.0f});
    r.SetCalibration({1.0f, 1.0f});  // shorter than the signal
    EXPECT_EQ(r.Irradiance(1, 0), 2.0f);
    EXPECT_EQ(r.Irradiance(2, 0), 0.0f);
    EXPECT_EQ(r.Irradiance(3, 0), 0.0f);
    EXPECT_EQ(r.Irradiance(-1, 0), 0.0f);
    GraphSeries s;
    r.SpectrumSeries(0, 1e9, 0, s);
    ASSERT_EQ(s.Count(), 3u);
    EXPECT_EQ(s.At(2).second, 0.0);
    (void)r.GetPar();
    (void)r.GetUvA();
}

TEST(DerivedValues, FlatSpectrum) {
    CSpectrumData r = FlatRecord();
    EXPECT_FLOAT_EQ(r.GetPar(), 0.3f);
    EXPECT_FLOAT_EQ(r.Integrate(350, 1050), 0.7f);
    EXPECT_EQ(r.Integrate(351, 350), 0.0f);
    EXPECT_FLOAT_EQ(r.Integrate(500, 500), 0.0005f);
    EXPECT_FLOAT_EQ(r.Integrate(500, 501), 0.001f);
    // Photon flux: sum of lambda / 1000 over 400..700 nm with halved ends is 165, then / (c h NA) / 1000.
    EXPECT_NEAR(r.GetPhoton(), 165.0 / (2.998e8 * 6.626e-34 * 6.022e23) / 1000.0, 1e-5);
    // Illuminance: 683 lm/W times the integral of V over 360..830 nm (106.857025 nm), / 1000.
    EXPECT_NEAR(r.GetLux(), 683.0 * 106.857025 / 1000.0, 1e-3);
    EXPECT_EQ(r.GetSumsValid(), 1);
    EXPECT_FLOAT_EQ(r.GetUvB(), 0.035f);
    EXPECT_FLOAT_EQ(r.GetUvA(), 0.085f);
    EXPECT_EQ(r.GetUvValid(), 1);
}

TEST(DerivedValues, LuminousEfficiencyTable) {
    EXPECT_EQ(CSpectrumData::LuminousWavelength(0), 360.0);
    EXPECT_EQ(CSpectrumData::LuminousWavelength(470), 830.0);
    EXPECT_EQ(CSpectrumData::LuminousEfficiency(0), 4e-6);
    EXPECT_DOUBLE_EQ(CSpectrumData::LuminousEfficiency(1), 4.6e-6);
    EXPECT_DOUBLE_EQ(CSpectrumData::LuminousEfficiency(193), 0.99495 + (1.0 - 0.99495) * 3 / 5);
    EXPECT_EQ(CSpectrumData::LuminousEfficiency(195), 1.0);  // 555 nm
    EXPECT_EQ(CSpectrumData::LuminousEfficiency(470), 0.0);
    EXPECT_DOUBLE_EQ(CSpectrumData::LuminousEfficiency(469), 0.2e-6);
    EXPECT_EQ(CSpectrumData::LuminousEfficiency(-1), 0.0);
    EXPECT_EQ(CSpectrumData::LuminousEfficiency(471), 0.0);
}

TEST(DerivedValues, CachedUntilResetAndCarriedByCopies) {
    CSpectrumData r = FlatRecord();
    const float par = r.GetPar();
    const float uva = r.GetUvA();
    r.SetSignal(std::vector<float>(801, 2.0f));
    EXPECT_EQ(r.GetPar(), par);
    EXPECT_EQ(r.GetLux(), r.GetLux());
    EXPECT_EQ(r.GetUvA(), uva);

    CSpectrumData copy(r);
    EXPECT_EQ(copy.GetSumsValid(), 1);
    EXPECT_EQ(copy.GetPar(), par);
    CSpectrumData assigned;
    assigned.CopyFrom(r);
    EXPECT_EQ(assigned.GetUvValid(), 1);
    EXPECT_EQ(assigned.GetUvA(), uva);

    r.Reset();
    r = FlatRecord();
    r.SetSignal(std::vector<float>(801, 2.0f));
    EXPECT_FLOAT_EQ(r.GetPar(), 0.6f);
    EXPECT_FLOAT_EQ(r.GetUvA(), 0.17f);
    EXPECT_EQ(copy.GetPar(), par);  // the copy keeps its own cache
}

TEST(DerivedValues, ConstRecordComputesOnceAndKeepsTheCache) {
    const CSpectrumData fresh = FlatRecord();
    CSpectrumData plain = FlatRecord();
    EXPECT_EQ(fresh.GetSumsValid(), 0);
    // Bit-identical whichever way the record is reached.
    EXPECT_EQ(fresh.GetPhoton(), plain.GetPhoton());
    EXPECT_EQ(fresh.GetUvB(), plain.GetUvB());
    EXPECT_EQ(fresh.GetSumsValid(), 1);
    EXPECT_EQ(fresh.GetUvValid(), 1);
    CSpectrumData copy(fresh);
    copy.SetSignal(std::vector<float>(801, 2.0f));  // the cache travels with the copy
    EXPECT_EQ(copy.GetPhoton(), fresh.GetPhoton());
}

TEST(Series, SpectrumFilteredByRange) {
    const CSpectrumData r = LinearRecord(400.0f, 10.0f, {1.0f, 2.0f, 3.0f, 4.0f, 5.0f});
    GraphSeries s;
    s.Append(-1, -1);  // cleared first
    r.SpectrumSeries(410.0, 430.0, 0, s);
    ASSERT_EQ(s.Count(), 3u);
    EXPECT_EQ(s.At(0), GraphSeries::Point(410.0, 2.0));
    EXPECT_EQ(s.At(2), GraphSeries::Point(430.0, 4.0));
    r.SpectrumSeries(431.0, 429.0, 0, s);
    EXPECT_EQ(s.Count(), 0u);
    r.SpectrumSeries(0.0, 1e4, 3, s);
    ASSERT_EQ(s.Count(), 5u);
    EXPECT_DOUBLE_EQ(s.At(4).second, 0.005f);
}

TEST(Series, DifferenceAndRatios) {
    const CSpectrumData r = LinearRecord(400.0f, 10.0f, {2.0f, 6.0f, 9.0f, 3.0f});
    // The other record has pixels at 405, 425, 445 nm: 1, 3, 0 W/m^2/um.
    const CSpectrumData other = LinearRecord(405.0f, 20.0f, {1.0f, 3.0f, 0.0f});
    GraphSeries d;
    r.DifferenceSeries(0.0, 1e4, 0, other, d);
    ASSERT_EQ(d.Count(), 4u);
    EXPECT_DOUBLE_EQ(d.At(0).second, 2.0 - 0.5);  // 400 nm: extrapolated 0.5
    EXPECT_DOUBLE_EQ(d.At(1).second, 6.0 - 1.5);  // 410 nm
    EXPECT_DOUBLE_EQ(d.At(2).second, 9.0 - 2.5);  // 420 nm

    GraphSeries q;
    r.RatioSeries(405.0, 1e4, 0, other, q);
    ASSERT_EQ(q.Count(), 3u);
    EXPECT_EQ(q.At(0).first, 410.0);
    EXPECT_DOUBLE_EQ(q.At(0).second, 4.0);
    EXPECT_DOUBLE_EQ(q.At(1).second, 3.6f);
    EXPECT_DOUBLE_EQ(q.At(2).second, 3.0f / 2.25f);  // 430 nm: partner line 425..445 gives 2.25
    GraphSeries pct;
    r.RatioPercentSeries(405.0, 1e4, 0, other, pct);
    ASSERT_EQ(pct.Count(), 3u);
    EXPECT_DOUBLE_EQ(pct.At(0).second, 400.0);
    EXPECT_DOUBLE_EQ(pct.At(1).second, static_cast<double>(3.6f) * 100.0);

    // Division by zero (x / 0 and 0 / 0) gives 0.
    const CSpectrumData zero = LinearRecord(400.0f, 10.0f, {0.0f, 0.0f, 0.0f, 0.0f});
    r.RatioSeries(0.0, 1e4, 0, zero, q);
    ASSERT_EQ(q.Count(), 4u);
    for (const auto& p : q.Points()) EXPECT_EQ(p.second, 0.0);
    zero.RatioPercentSeries(0.0, 1e4, 0, zero, q);
    for (const auto& p : q.Points()) EXPECT_EQ(p.second, 0.0);
}

TEST(JisStandard, BuiltInRecord) {
    CSpectrumData r;
    r.SetTemperature(33.0f);
    r.SetFovCode(1);
    r.LoadJisStandard();
    EXPECT_TRUE(r.HasExplicitWavelengths());
    EXPECT_EQ(r.GetMemo(), "JIS Standard Data");
    EXPECT_EQ(r.PixelCount(), 120);
    EXPECT_EQ(r.GetCalibration().size(), 120u);
    EXPECT_EQ(r.GetWavelengths().size(), 120u);
    EXPECT_EQ(r.GetTemperature(), 0.0f);
    EXPECT_EQ(r.GetFovCode(), 3);
    EXPECT_EQ(r.Wavelength(0), 305.0f);
    EXPECT_EQ(r.Wavelength(14), 400.0f);
    EXPECT_EQ(r.Wavelength(39), 724.4f);
    EXPECT_EQ(r.Wavelength(119), 4045.0f);
    EXPECT_FLOAT_EQ(r.Irradiance(14, 0), static_cast<float>(1013.1 * 1.02195609));
    EXPECT_FLOAT_EQ(r.IrradianceAt(400.0f, 0), static_cast<float>(1013.1 * 1.02195609));
    EXPECT_FLOAT_EQ(r.Irradiance(0, 0), static_cast<float>(9.5 * 1.02195609));     // below 400 nm
    EXPECT_FLOAT_EQ(r.Irradiance(119, 0), static_cast<float>(7.5 * 1.25342466));   // above 1050 nm
    for (int i = 1; i < 120; ++i) EXPECT_LT(r.Wavelength(i - 1), r.Wavelength(i));
    EXPECT_GT(r.GetPar(), 0.0f);
}
