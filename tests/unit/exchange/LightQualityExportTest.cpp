// The light-quality export type: a row per metric under the rows that say what each record is.
#include <gtest/gtest.h>

#include "core/exchange/CSVExporter.h"
#include "core/exchange/CsvText.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/platform/StringTable.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "tests/unit/metrics/MetricsTestUtil.h"

namespace {

std::vector<std::string> Rows(const std::string& text) {
    std::vector<std::string> rows;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        rows.push_back(text.substr(at, end - at));
    }
    return rows;
}

std::string G6(double v) {
    std::string s;
    csvtext::AppendG6(s, static_cast<float>(v));
    return s;
}

}  // namespace

TEST(LightQualityExport, ARowPerMetricWithNotAvailableAndPartialBands) {
    testsupport::TzGuard tz("Asia/Tokyo");
    testsupport::TempWorkDir dir;
    platform::SetLanguage(platform::Language::English);
    CSpectrumData daylight = metricstest::RecordOf(metricstest::ReadSpd("cie_illuminant_d65"), 300.0f, 1100.0f);
    daylight.SetTime(datatest::Local(2025, 6, 1, 12));
    daylight.SetMemo("roof");
    CSpectrumData narrow = metricstest::RecordOf(metricstest::Spd{{0, 2000}, {290, 290}}, 400.0f, 1000.0f);
    narrow.SetTime(datatest::Local(2025, 6, 1, 13));
    CSpectrumDataSet set;
    set.Append(daylight, 0, 0);
    set.Append(narrow, 0, 2560);
    CExportPrm prm;
    prm.m_EXPORT_TYPE = 4;
    prm.m_WAVELENGTH_TYPE = 7;  // no wavelength column: the interval plays no part
    ASSERT_TRUE(CCSVExporter().ExportDataSet("q.csv", set, nullptr, prm));  // no standard needed
    auto rows = Rows(testsupport::ReadFileBytes("q.csv"));
    ASSERT_EQ(rows.size(), 5u + metrics::kMetricCount + 1u);
    EXPECT_EQ(rows[0], "DATE,2025/06/01,2025/06/01");
    EXPECT_EQ(rows[3], "MEMO,roof,");
    metrics::MetricsCalculator calculator;
    const metrics::LightMetrics a = calculator.Compute(daylight), b = calculator.Compute(narrow);
    EXPECT_EQ(rows[5], "PPFD[umol/m^2/s]," + G6(a.Get(metrics::kPpfd)) + "," + G6(b.Get(metrics::kPpfd)));
    EXPECT_EQ(rows[5 + metrics::kCct], "CCT[K]," + G6(a.Get(metrics::kCct)) + ",n/a");
    EXPECT_EQ(rows[5 + metrics::kR1 + 8], "R9," + G6(a.Get(metrics::kR1 + 8)) + ",n/a");
    EXPECT_EQ(rows[5 + metrics::kSolarFirst], "G173 ratio 280-315nm," + G6(a.Get(metrics::kSolarFirst)) + ",n/a");
    EXPECT_EQ(rows.back(), "Partial bands,g173_280_315,g173_700_1050");

    // The run-time log of an interval run in this type, and the labels in Japanese.
    platform::SetLanguage(platform::Language::Japanese);
    ASSERT_TRUE(CCSVExporter().ExportRecord("one.csv", daylight, nullptr, prm));
    platform::SetLanguage(platform::Language::English);
    rows = Rows(testsupport::ReadFileBytes("one.csv"));
    ASSERT_EQ(rows.size(), 5u + metrics::kMetricCount + 1u);
    EXPECT_EQ(rows[5], "光合成光量子束密度 PPFD[umol/m^2/s]," + G6(a.Get(metrics::kPpfd)));
    EXPECT_EQ(rows[5 + metrics::kR1 + 8], "特殊演色評価数 R9," + G6(a.Get(metrics::kR1 + 8)));
}
