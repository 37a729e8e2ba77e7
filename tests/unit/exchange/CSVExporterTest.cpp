// The CSV layout checked against text worked out by hand: records whose irradiance is their signal
// (20 degC, calibration 1) at whole-nanometre pixels, so every interpolated value is exact.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <sstream>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "core/exchange/CSVExporter.h"
#include "core/exchange/CsvText.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace exchangetest;

namespace {

std::vector<std::string> Rows(const std::string& text) {
    std::vector<std::string> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            rows.push_back(text.substr(at) + "<no CR LF>");
            break;
        }
        rows.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return rows;
}

std::string G(double v) { return platform::FormatG(v, "%g"); }

class CSVExporterTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;

    void SetUp() override {
        platform::SetLanguage(platform::Language::English);
        // Pixels 400..403 nm. r1 = lambda - 399, r2 = 10 lambda - 3995 (pixels at half
        // nanometres, so it is interpolated at r1's wavelengths), r3 = 404 - lambda.
        CSpectrumData r1 = LinearRecord(Local(2009, 5, 12, 7, 8, 9), 400.0f, {1, 2, 3, 4});
        r1.SetMemo("first");
        r1.SetExposureTime(50);
        r1.SetFovCode(0);
        r1.SetLongitude(139.5f);
        r1.SetLatitude(35.25f);
        r1.SetAltitude(12.0f);
        CSpectrumData r2 = LinearRecord(Local(2009, 5, 12, 8, 0, 0), 400.5f, {10, 20, 30, 40});
        r2.SetMemo("second");
        r2.SetExposureTime(100);
        r2.SetFovCode(1);
        r2.SetLongitude(-0.125f);
        CSpectrumData r3 = LinearRecord(Local(2009, 5, 13, 9, 30, 0), 400.0f, {4, 3, 2, 1});
        r3.SetFovCode(7);
        for (const auto& r : {r1, r2, r3}) set_.Append(r, 0, 0);
        standard_ = LinearRecord(Local(2009, 5, 1), 400.0f, {2, 0, 4, 8});
    }

    std::vector<std::string> Export(int type, int unit, int step, float min = 350, float max = 1050) {
        CExportPrm prm;
        prm.m_EXPORT_TYPE = type;
        prm.m_SPECTRUM_UNIT = unit;
        prm.m_WAVELENGTH_TYPE = step;
        prm.m_MIN_WAVELENGTH = min;
        prm.m_MAX_WAVELENGTH = max;
        EXPECT_TRUE(CCSVExporter().ExportDataSet("out.csv", set_, &standard_, prm));
        return Rows(testsupport::ReadFileBytes("out.csv"));
    }

    // Rows 1..12 as they must read for this set.
    std::vector<std::string> Head(bool calculation) {
        std::vector<std::string> rows = {"DATE,2009/05/12,2009/05/12,2009/05/13", "TIME,07:08:09,08:00:00,09:30:00",
                                         "Exposed Time[msec],50,100,0", "MEMO,first,second,", "FOV,180,90,ETC"};
        if (!calculation) return rows;
        CSpectrumData r2 = *set_.Record(1), r3 = *set_.Record(2), r1 = *set_.Record(0);
        rows.insert(rows.end(),
                    {"LON,139.5,-0.125,0", "LAT,35.25,0,0", "ALT,12,0,0", "TEMP,20,20,20",
                     // Trapezoids of straight lines are exact: 45300/1000, 451500/1000, -43800/1000.
                     "PAR[W/m^2],45.3,451.5,-43.8",
                     "Ptn[umol/m^2]," + G(r1.GetPhoton()) + "," + G(r2.GetPhoton()) + "," + G(r3.GetPhoton()),
                     "Lux[lx]," + G(r1.GetLux()) + "," + G(r2.GetLux()) + "," + G(r3.GetLux())});
        return rows;
    }

    // The memo of a record the set holds, in the record and in its entry.
    void SetMemo(int i, const std::string& memo) {
        auto r = std::make_shared<CSpectrumData>(*set_.Record(i));
        r->SetMemo(memo);
        set_.At(i).Held = r;
        set_.At(i).Memo = memo;
    }

    CSpectrumDataSet set_;
    CSpectrumData standard_;
};

TEST_F(CSVExporterTest, SpectralAndCalculationDataAtTheFirstRecordsWavelengths) {
    std::vector<std::string> want = Head(true);
    want.insert(want.end(), {"WL Interval,Original,Original,Original",
                             "Wavelength[nm],Irradiance[W/m^2/um],Irradiance[W/m^2/um],Irradiance[W/m^2/um]",
                             "400,1,5,4", "401,2,15,3", "402,3,25,2", "403,4,35,1"});
    EXPECT_EQ(Export(0, 0, 0), want);
    // 14 label rows and one per pixel of the first record; every row ends in CR LF.
    EXPECT_EQ(want.size(), 14u + 4u);
}

TEST_F(CSVExporterTest, CalculationDataOnlyEndsAfterTwelveRows) {
    EXPECT_EQ(Export(1, 0, 0), Head(true));
    // Unit and wavelength settings play no part in it.
    EXPECT_EQ(Export(1, 1, 2), Head(true));
}

TEST_F(CSVExporterTest, RatioAgainstTheStandardWritesZeroForADivisionByZero) {
    std::vector<std::string> want = Head(false);
    want.insert(want.end(), {"WL Interval,Original,Original,Original", "Wavelength[nm],Ratio[%],Ratio[%],Ratio[%]",
                             "400,50,250,200", "401,0,0,0", "402,75,625,50", "403,50,437.5,12.5"});
    EXPECT_EQ(Export(2, 0, 0), want);
}

TEST_F(CSVExporterTest, DifferenceAgainstTheStandardInBothUnits) {
    std::vector<std::string> want = Head(false);
    want.insert(want.end(), {"WL Interval,Original,Original,Original",
                             "Wavelength[nm],Difference[W/m^2/um],Difference[W/m^2/um],Difference[W/m^2/um]",
                             "400,-1,3,2", "401,2,15,3", "402,-1,21,-2", "403,-4,27,-7"});
    EXPECT_EQ(Export(3, 0, 0), want);

    // umol/m^2/s/um of a W/m^2/um value e at lambda: (lambda e / 1000) / (c h NA). The conversion is
    // made at each record's own pixels and then interpolated, so r2 (pixels at half nanometres) is
    // the line through its converted neighbours.
    auto umol = [](float lambda, float e) {
        return static_cast<float>(static_cast<double>(lambda * e / 1000.0f) / CSpectrumData::kCHNA);
    };
    auto line = [](float xb, float yb, float xp, float yp, float x) {
        return static_cast<float>((static_cast<double>(yp) - yb) * (static_cast<double>(x) - xb) / (xp - xb) + yb);
    };
    auto g6 = [](float v) { return platform::FormatG(v, "%.6g"); };
    std::vector<std::string> rows = Export(3, 1, 0);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[6], "Wavelength[nm],Difference[umol/m^2/s/um],Difference[umol/m^2/s/um],Difference[umol/m^2/s/um]");
    const float r2at400 = line(400.5f, umol(400.5f, 10), 401.5f, umol(401.5f, 20), 400.0f);
    EXPECT_EQ(rows[7], "400," + g6(umol(400, 1) - umol(400, 2)) + "," + g6(r2at400 - umol(400, 2)) + "," +
                           g6(umol(400, 4) - umol(400, 2)));
    EXPECT_EQ(rows[7], "400,-3.34377,9.96861,6.68754");

    rows = Export(0, 1, 0);
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows[13], "Wavelength[nm],Irradiance[umol/m^2/s/um],Irradiance[umol/m^2/s/um],Irradiance[umol/m^2/s/um]");
    const float r2at403 = line(403.5f, umol(403.5f, 40), 402.5f, umol(402.5f, 30), 403.0f);
    EXPECT_EQ(rows[17], "403," + g6(umol(403, 4)) + "," + g6(r2at403) + "," + g6(umol(403, 1)));
    EXPECT_EQ(rows[17], "403,13.4754,117.931,3.36885");
    // The calculation rows do not depend on the unit.
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 12), Head(true));
}

TEST_F(CSVExporterTest, SteppedColumnsRunFromTheMinimumToTheFirstStepAtOrBeyondTheMaximum) {
    std::vector<std::string> rows = Export(0, 0, 1);
    ASSERT_EQ(rows.size(), 14u + 701u);
    EXPECT_EQ(rows[12], "WL Interval,1nm Step,1nm Step,1nm Step");
    // Outside the measured pixels the lines are extrapolated.
    EXPECT_EQ(rows[14], "350,-49,-495,54");
    EXPECT_EQ(rows[15], "351,-48,-485,53");
    EXPECT_EQ(rows[14 + 50], "400,1,5,4");
    EXPECT_EQ(rows.back(), "1050,651,6505,-646");

    rows = Export(0, 0, 2);
    ASSERT_EQ(rows.size(), 14u + 141u);
    EXPECT_EQ(rows[12], "WL Interval,5nm Step,5nm Step,5nm Step");
    EXPECT_EQ(rows[14], "350,-49,-495,54");
    EXPECT_EQ(rows[15], "355,-44,-445,49");
    EXPECT_EQ(rows.back(), "1050,651,6505,-646");

    rows = Export(0, 0, 2, 352, 1050);
    ASSERT_EQ(rows.size(), 14u + 141u);
    EXPECT_EQ(rows[14], "352,-47,-475,52");
    EXPECT_EQ(rows.back(), "1052,653,6525,-648");

    // A minimum above the maximum still writes its one row; fractions keep six digits.
    rows = Export(2, 0, 1, 500.25f, 400);
    ASSERT_EQ(rows.size(), 7u + 1u);
    EXPECT_EQ(rows[5], "WL Interval,1nm Step,1nm Step,1nm Step");
    // The standard's last two pixels (402, 4) and (403, 8) extrapolate to 397 at 500.25.
    EXPECT_EQ(rows[7], "500.25," + platform::FormatG(101.25f / 397.0f * 100.0f, "%.6g") + "," +
                           platform::FormatG(1007.5f / 397.0f * 100.0f, "%.6g") + "," +
                           platform::FormatG(-96.25f / 397.0f * 100.0f, "%.6g"));
    EXPECT_EQ(rows[7], "500.25,25.5038,253.778,-24.2443");
}

TEST_F(CSVExporterTest, SingleRecordFileHasOneValueColumn) {
    CExportPrm prm;
    CSpectrumData r1 = *set_.Record(0);
    ASSERT_TRUE(CCSVExporter().ExportRecord("RunTime_20090512_070809.csv", r1, nullptr, prm));
    std::vector<std::string> want = {"DATE,2009/05/12", "TIME,07:08:09", "Exposed Time[msec],50", "MEMO,first",
                                     "FOV,180", "LON,139.5", "LAT,35.25", "ALT,12", "TEMP,20", "PAR[W/m^2],45.3",
                                     "Ptn[umol/m^2]," + G(r1.GetPhoton()), "Lux[lx]," + G(r1.GetLux()),
                                     "WL Interval,Original", "Wavelength[nm],Irradiance[W/m^2/um]", "400,1", "401,2",
                                     "402,3", "403,4"};
    EXPECT_EQ(Rows(testsupport::ReadFileBytes("RunTime_20090512_070809.csv")), want);

    // The same record against the standard.
    prm.m_EXPORT_TYPE = 3;
    ASSERT_TRUE(CCSVExporter().ExportRecord("one.csv", r1, &standard_, prm));
    EXPECT_EQ(Rows(testsupport::ReadFileBytes("one.csv")),
              (std::vector<std::string>{"DATE,2009/05/12", "TIME,07:08:09", "Exposed Time[msec],50", "MEMO,first",
                                        "FOV,180", "WL Interval,Original", "Wavelength[nm],Difference[W/m^2/um]",
                                        "400,-1", "401,2", "402,-1", "403,-4"}));
}

TEST_F(CSVExporterTest, WithoutAStandardRatioAndDifferenceFailButTheRunTimeFileFallsBackToSpectra) {
    for (int type : {2, 3}) {
        CExportPrm prm;
        prm.m_EXPORT_TYPE = type;
        testsupport::WriteFileBytes("kept.csv", "older export\r\n");
        EXPECT_FALSE(CCSVExporter().ExportDataSet("kept.csv", set_, nullptr, prm));
        EXPECT_EQ(testsupport::ReadFileBytes("kept.csv"), "older export\r\n");
        EXPECT_FALSE(CCSVExporter().ExportDataSet("new.csv", set_, nullptr, prm));
        EXPECT_EQ(testsupport::FileSize("new.csv"), -1);

        CExportPrm spectral;
        ASSERT_TRUE(CCSVExporter().ExportRecord("spectral.csv", *set_.Record(1), nullptr, spectral));
        ASSERT_TRUE(CCSVExporter().ExportRecord("fallback.csv", *set_.Record(1), nullptr, prm));
        EXPECT_EQ(testsupport::ReadFileBytes("fallback.csv"), testsupport::ReadFileBytes("spectral.csv"));
        EXPECT_EQ(Rows(testsupport::ReadFileBytes("fallback.csv")).size(), 18u);
    }
}

TEST_F(CSVExporterTest, OnlyMemosThatNeedItAreQuoted) {
    SetMemo(0, "a,b");
    SetMemo(1, "say \"hi\"");
    SetMemo(2, "two\r\nlines");
    CExportPrm prm;
    prm.m_EXPORT_TYPE = 1;
    ASSERT_TRUE(CCSVExporter().ExportDataSet("memo.csv", set_, nullptr, prm));
    const std::string text = testsupport::ReadFileBytes("memo.csv");
    EXPECT_NE(text.find("\r\nMEMO,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nFOV,180,90,ETC\r\n"), std::string::npos);

    // A memo of other punctuation, blanks and non-ASCII text is written as it is.
    SetMemo(0, "rain; 5 mm 'light' \xE6\x99\xB4");
    SetMemo(1, "");
    SetMemo(2, "x");
    ASSERT_TRUE(CCSVExporter().ExportDataSet("memo.csv", set_, nullptr, prm));
    EXPECT_EQ(Rows(testsupport::ReadFileBytes("memo.csv"))[3], "MEMO,rain; 5 mm 'light' \xE6\x99\xB4,,x");
}

TEST_F(CSVExporterTest, LabelsFollowTheInterfaceLanguage) {
    platform::SetLanguage(platform::Language::Japanese);
    std::vector<std::string> rows = Export(3, 1, 1);
    platform::SetLanguage(platform::Language::English);
    ASSERT_EQ(rows.size(), 7u + 701u);
    EXPECT_EQ(rows[0], "日付,2009/05/12,2009/05/12,2009/05/13");
    EXPECT_EQ(rows[5], "波長間隔,1nm間隔,1nm間隔,1nm間隔");
    EXPECT_EQ(rows[6], "波長[nm],差分[umol/m^2/s/um],差分[umol/m^2/s/um],差分[umol/m^2/s/um]");
}

TEST_F(CSVExporterTest, RefusesWhatCannotBeWrittenWhole) {
    CExportPrm prm;
    CCSVExporter exporter;
    EXPECT_FALSE(exporter.ExportDataSet("no/such/folder/out.csv", set_, nullptr, prm));
    EXPECT_FALSE(exporter.ExportDataSet("empty.csv", CSpectrumDataSet(), nullptr, prm));
    EXPECT_EQ(testsupport::FileSize("empty.csv"), -1);

    // A full device: the failure is noticed, and the device is left in place.
    struct stat st {};
    if (::stat("/dev/full", &st) == 0) {
        EXPECT_FALSE(exporter.ExportDataSet("/dev/full", set_, nullptr, prm));
        EXPECT_FALSE(exporter.ExportRecord("/dev/full", *set_.Record(0), nullptr, prm));
        EXPECT_EQ(::stat("/dev/full", &st), 0);
    }

    // A link planted under a run-time log's name is neither followed nor replaced.
    testsupport::WriteFileBytes("victim", "precious");
    ASSERT_EQ(::symlink("victim", "RunTime_20090512_070809.csv"), 0);
    EXPECT_FALSE(exporter.ExportRecord("RunTime_20090512_070809.csv", *set_.Record(0), nullptr, prm));
    EXPECT_EQ(exporter.Error(), "RunTime_20090512_070809.csv is a symbolic link; it was left as it is.");
    EXPECT_EQ(testsupport::ReadFileBytes("victim"), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink("RunTime_20090512_070809.csv"));

    // An export told to stop leaves nothing, not even an empty file.
    std::atomic<bool> stop{true};
    exporter.SetCancel(&stop);
    EXPECT_FALSE(exporter.ExportDataSet("stopped.csv", set_, nullptr, prm));
    EXPECT_EQ(testsupport::FileSize("stopped.csv"), -1);
    exporter.SetCancel(nullptr);

    // Settings no dialog can produce: an unknown type or interval, a range that never ends.
    prm.m_EXPORT_TYPE = 5;  // 4 is the light-quality export
    EXPECT_FALSE(exporter.ExportDataSet("bad.csv", set_, &standard_, prm));
    prm.m_EXPORT_TYPE = 0;
    prm.m_WAVELENGTH_TYPE = 3;
    EXPECT_FALSE(exporter.ExportRecord("bad.csv", *set_.Record(0), nullptr, prm));
    prm.m_EXPORT_TYPE = 1;  // writes no wavelength column, so the interval does not matter
    EXPECT_TRUE(exporter.ExportRecord("calc.csv", *set_.Record(0), nullptr, prm));
    prm.m_EXPORT_TYPE = 0;
    prm.m_WAVELENGTH_TYPE = 1;
    prm.m_MAX_WAVELENGTH = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(exporter.ExportDataSet("bad.csv", set_, nullptr, prm));
    prm.m_MIN_WAVELENGTH = 1e9f;  // adding 1 nm no longer changes it
    prm.m_MAX_WAVELENGTH = 2e9f;
    EXPECT_FALSE(exporter.ExportDataSet("bad.csv", set_, nullptr, prm));
    EXPECT_EQ(testsupport::FileSize("bad.csv"), -1);
}

// The numbers are formatted without printf; they must read exactly as "%.6g".
TEST(CSVNumberFormat, SixDigitsMatchPrintfIncludingTies) {
    auto printfG6 = [](float v) {
        char b[64];
        std::snprintf(b, sizeof b, "%.6g", static_cast<double>(v));
        return std::string(b);
    };
    auto mine = [](float v) {
        std::string s;
        csvtext::AppendG6(s, v);
        return s;
    };
    std::vector<float> values = {0.0f, -0.0f, 1e-5f, 9.99999e-5f, 1e-4f, 0.0001234565f, 999999.5f, 999998.5f,
                                 1e6f, 123456.5f, 123457.5f, 1.5f, 2.5e-3f, 3.4e38f, -1.17549435e-38f,
                                 std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::denorm_min()};
    // Every power of ten and its neighbours, where the exponent guess is most easily off by one.
    for (int e = -45; e <= 38; ++e) {
        const float p = static_cast<float>(std::pow(10.0, e));
        values.insert(values.end(), {p, std::nextafter(p, 0.0f), std::nextafter(p, std::numeric_limits<float>::infinity()), -p});
    }
    // Halves of integers are exact floats: ties that must go to the even digit.
    for (int i = 100000; i < 100200; ++i) values.push_back(static_cast<float>(i) + 0.5f);
    for (int i = 1000000; i < 1000200; ++i) values.push_back(static_cast<float>(i) * 10.0f + 5.0f);
    std::mt19937 gen(7);
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 200000; ++i) {
        uint32_t u = bits(gen);
        float f;
        std::memcpy(&f, &u, sizeof f);
        values.push_back(f);
    }
    std::uniform_real_distribution<float> typical(-5000.0f, 5000.0f);
    for (int i = 0; i < 100000; ++i) values.push_back(typical(gen));
    // Beside each exact tie lie the values whose rounding is nearest to either way.
    for (int i = 100000; i < 100200; ++i) {
        const float tie = static_cast<float>(i) + 0.5f;
        for (float scale : {1.0f, 1e-3f, 1e-7f, 1e4f}) {
            const float t = tie * scale;
            values.insert(values.end(), {std::nextafter(t, 0.0f), std::nextafter(t, 1e30f)});
        }
    }
    // A sweep over every sign, exponent and mantissa region of the float format.
    for (uint64_t u = 0; u < (uint64_t{1} << 32); u += 4099) {
        const auto b = static_cast<uint32_t>(u);
        float f;
        std::memcpy(&f, &b, sizeof f);
        values.push_back(f);
    }
    int bad = 0;
    for (float v : values) {
        if (mine(v) != printfG6(v) && ++bad <= 10) ADD_FAILURE() << printfG6(v) << " written as " << mine(v);
    }
    EXPECT_EQ(bad, 0);
}

// Lookups over a record's pixel values must give IrradianceAt's floats also for records whose
// wavelengths are not ascending, repeat, or are too few.
TEST_F(CSVExporterTest, SpectralValuesAreThoseOfIrradianceAtForAnyRecord) {
    CSpectrumData regular = *set_.Record(0);
    CSpectrumData descending = LinearRecord(Local(2009, 5, 12, 9), 700.0f, std::vector<float>(300, 0.0f));
    descending.SetCoefficient(1, -1.25f);
    CSpectrumData turning = LinearRecord(Local(2009, 5, 12, 10), 300.0f, std::vector<float>(256, 0.0f));
    turning.SetCoefficient(1, 6.0f);
    turning.SetCoefficient(2, -0.02f);
    CSpectrumData repeated = LinearRecord(Local(2009, 5, 12, 11), 0.0f, std::vector<float>(6, 0.0f));
    const float w[6] = {400, 400, 400.5f, 600, 600, 900};
    repeated.SetWavelengths(6, w);
    repeated.SetExplicitWavelengths(1);
    CSpectrumData single = LinearRecord(Local(2009, 5, 12, 12), 500.0f, {5.0f});
    std::mt19937 gen(3);
    std::uniform_real_distribution<float> signal(0.0f, 5000.0f);
    for (CSpectrumData* r : {&descending, &turning, &repeated}) {
        std::vector<float> s(static_cast<std::size_t>(r->PixelCount()));
        for (float& v : s) v = signal(gen);
        r->SetSignal(s);
        r->SetTemperature(3.5f);  // a temperature factor that differs per pixel
    }
    // Five records, once and in many copies.
    for (int copies : {1, 16}) {
        std::vector<CSpectrumData> pristine;
        for (int c = 0; c < copies; ++c)
            for (CSpectrumData r : {regular, descending, turning, repeated, single}) {
                std::vector<float> s = r.GetSignal();
                for (float& v : s) v *= 1.0f + 0.37f * static_cast<float>(c);
                r.SetSignal(s);
                pristine.push_back(r);
            }
        // Records read from files have no sums yet; the export computes them from its own lookups,
        // in either unit and whether or not the column holds every whole nanometre they need, and
        // the records keep them.
        struct Columns {
            int unit, step;
            float min;
        };
        for (const Columns& c : {Columns{0, 1, 350}, Columns{1, 1, 350}, Columns{0, 2, 350}, Columns{0, 1, 400}}) {
            const int unit = c.unit;
            set_.Clear();
            for (const CSpectrumData& r : pristine) set_.Append(r, 0, 0);  // records of their own
            const std::vector<CSpectrumData> plain = pristine;  // its getters compute the sums the plain way
            ASSERT_EQ(set_.Record(0)->GetSumsValid(), 0);
            std::vector<std::string> rows = Export(0, unit, c.step, c.min, 1050);
            std::string par = "PAR[W/m^2]", photon = "Ptn[umol/m^2]", lux = "Lux[lx]";
            for (int j = 0; j < set_.Count(); ++j) {
                const CSpectrumData& own = plain[static_cast<std::size_t>(j)];
                const CSpectrumData& exported = *set_.Record(j);
                ASSERT_NE(exported.GetSumsValid(), 0);
                for (auto get : {&CSpectrumData::GetPar, &CSpectrumData::GetPhoton, &CSpectrumData::GetLux}) {
                    const float want = (own.*get)(), got = (exported.*get)();
                    ASSERT_EQ(std::memcmp(&want, &got, sizeof want), 0)
                        << "record " << j << ", unit " << unit << ", step " << c.step << " from " << c.min;
                }
                par += "," + G(own.GetPar());
                photon += "," + G(own.GetPhoton());
                lux += "," + G(own.GetLux());
            }
            EXPECT_EQ(rows[9], par);
            EXPECT_EQ(rows[10], photon);
            EXPECT_EQ(rows[11], lux);
            if (c.step != 1 || c.min != 350) continue;
            ASSERT_EQ(rows.size(), 14u + 701u);
            for (int k = 0; k <= 700; ++k) {
                const float lambda = 350.0f + static_cast<float>(k);
                std::string want = platform::FormatG(lambda, "%.6g");
                for (int j = 0; j < set_.Count(); ++j)
                    want += "," + platform::FormatG(set_.Record(j)->IrradianceAt(lambda, unit), "%.6g");
                ASSERT_EQ(rows[14 + static_cast<std::size_t>(k)], want) << "unit " << unit << ", copies " << copies;
            }
        }
        // Ratios against the standard.
        std::vector<std::string> rows = Export(2, 0, 1, 350, 1050);
        ASSERT_EQ(rows.size(), 7u + 701u);  // no location or sums rows
        for (int k = 0; k <= 700; k += 7) {
            const float lambda = 350.0f + static_cast<float>(k);
            const float base = standard_.IrradianceAt(lambda, 0);
            std::string want = platform::FormatG(lambda, "%.6g");
            for (int j = 0; j < set_.Count(); ++j) {
                float v = set_.Record(j)->IrradianceAt(lambda, 0) / base * 100.0f;
                if (!std::isfinite(v)) v = 0.0f;
                want += "," + platform::FormatG(v, "%.6g");
            }
            ASSERT_EQ(rows[7 + static_cast<std::size_t>(k)], want) << "copies " << copies;
        }
    }
}

}  // namespace

namespace {

// Runs of records of one instrument (the same pixel wavelengths), broken by others, give
// IrradianceAt's floats in every kind of column.
TEST_F(CSVExporterTest, RunsOfRecordsSharingWavelengthsGiveIrradianceAtsValues) {
    std::mt19937 gen(11);
    std::uniform_real_distribution<float> signal(0.0f, 5000.0f), calibration(0.001f, 0.05f);
    auto instrument = [&](float c0, float c1, float temperature) {
        CSpectrumData r = LinearRecord(Local(2009, 5, 12, 9), c0, std::vector<float>(256, 0.0f));
        r.SetCoefficient(1, c1);
        r.SetCoefficient(2, -1.2e-4f);
        std::vector<float> s(256), c(256);
        for (float& v : s) v = signal(gen);
        for (float& v : c) v = calibration(gen);
        r.SetSignal(s);
        r.SetCalibration(c);
        r.SetTemperature(temperature);
        return r;
    };
    struct Run {
        float c0, c1;
        int count;
    };
    // Ascending 300..1092 nm, another instrument, and one whose wavelengths descend.
    const std::vector<Run> runs = {{300, 3.1372549f, 5}, {301.5f, 3.1372549f, 3}, {300, 3.1372549f, 4},
                                   {1100, -3.0f, 2},     {300, 3.1372549f, 3}};
    auto check = [&](int step, int unit) {
        CExportPrm prm;
        prm.m_EXPORT_TYPE = 0;
        prm.m_SPECTRUM_UNIT = unit;
        prm.m_WAVELENGTH_TYPE = step;
        prm.m_MIN_WAVELENGTH = 350;
        prm.m_MAX_WAVELENGTH = 1050;
        ASSERT_TRUE(CCSVExporter().ExportDataSet("shared.csv", set_, nullptr, prm));
        const std::vector<std::string> rows = Rows(testsupport::ReadFileBytes("shared.csv"));
        std::vector<float> column;
        const CSpectrumData& first = *set_.Record(0);
        if (step == 0)
            for (int i = 0; i < first.PixelCount(); ++i) column.push_back(first.Wavelength(i));
        else
            for (float x = 350; column.empty() || column.back() < 1050; x += step == 1 ? 1.0f : 5.0f) column.push_back(x);
        ASSERT_EQ(rows.size(), 14u + column.size());
        for (std::size_t k = 0; k < column.size(); ++k) {
            std::string want = platform::FormatG(column[k], "%.6g");
            for (int j = 0; j < set_.Count(); ++j)
                want += "," + platform::FormatG(set_.Record(j)->IrradianceAt(column[k], unit), "%.6g");
            ASSERT_EQ(rows[14 + k], want) << "step " << step << ", unit " << unit << ", row " << k;
        }
    };
    for (int repeats : {1, 5}) {  // 17 records, then 85
        for (bool descendingFirst : {false, true}) {
            set_.Clear();
            if (descendingFirst) set_.Append(instrument(1100, -3.0f, 25.0f), 0, 0);
            for (int r = 0; r < repeats; ++r)
                for (const Run& run : runs)
                    for (int c = 0; c < run.count; ++c)
                        set_.Append(instrument(run.c0, run.c1, 3.5f + 7.0f * static_cast<float>(c)), 0, 0);
            for (int step : {0, 1, 2}) check(step, 0);
            check(1, 1);
        }
    }
    // Twenty instruments in turn.
    set_.Clear();
    for (int r = 0; r < 5; ++r)
        for (int i = 0; i < 20; ++i)
            set_.Append(instrument(i == 7 ? 1100.0f : 300.0f + 0.25f * static_cast<float>(i), i == 7 ? -3.0f : 3.1372549f,
                                   static_cast<float>(r * 20 + i)),
                        0, 0);
    for (int step : {0, 1, 2}) check(step, 0);
    check(1, 1);
}

}  // namespace
