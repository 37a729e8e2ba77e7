// heliarc-cli metrics and dli on a generated data folder: the columns, n/a, partial bands, the
// numbers as the calculator gives them, and the daily light integral of whole and broken days.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/data/SpectrumDataWriter.h"
#include "core/metrics/MetricsCalculator.h"
#include "core/platform/FloatText.h"
#include "tests/support/CliRun.h"
#include "tests/support/DataFolderTest.h"
#include "tests/unit/data/DataTestUtil.h"
#include "tests/unit/metrics/MetricsTestUtil.h"

using datatest::Local;
using metricstest::RecordOf;
using metricstest::Spd;

namespace {

testsupport::CliRun Cli(const std::string& args) {
    testsupport::CliOptions options;
    options.errFile = "";
    return testsupport::RunCli(args, options);
}

std::vector<std::vector<std::string>> Rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        std::stringstream s(line);
        for (std::string cell; std::getline(s, cell, '\t');) cells.push_back(cell);
        if (!line.empty() && line.back() == '\t') cells.emplace_back();
        rows.push_back(cells);
    }
    return rows;
}

std::string G9(double v) {
    char buf[platform::kMaxG9];
    return std::string(buf, platform::WriteG9(buf, v));
}

// 290 W/m^2/um from 300 to 1100 nm has a PPFD of about 400 umol/m^2/s.
CSpectrumData Flat(platform::CalTime t, float first = 300.0f, float last = 1100.0f) {
    CSpectrumData r = RecordOf(Spd{{0.0, 2000.0}, {290.0, 290.0}}, first, last);
    r.SetTime(t);
    return r;
}

class CliMetricsTest : public testsupport::DataFolderTest {};

}  // namespace

TEST_F(CliMetricsTest, OneRowPerRecordWithNotAvailableAndPartialColumns) {
    CSpectrumData daylight = RecordOf(metricstest::ReadSpd("cie_illuminant_d65"), 300.0f, 1100.0f, 256, 10.0);
    daylight.SetTime(Local(2025, 6, 1, 12));
    daylight.SetMemo("roof\tnorth");
    CSpectrumData narrow = Flat(Local(2025, 6, 1, 13), 400.0f, 1000.0f);
    ASSERT_EQ(CSpectrumDataWriter().WriteAll({daylight, narrow}), 1);

    const auto r = Cli(Workdir() + "metrics");
    ASSERT_EQ(r.status, 0);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    const auto& h = rows[0];
    ASSERT_EQ(h.size(), 4u + metrics::kMetricCount + 1u);
    EXPECT_EQ((std::vector<std::string>(h.begin(), h.begin() + 5)),
              (std::vector<std::string>{"file_date", "offset", "time", "memo", "ppfd"}));
    EXPECT_EQ(h[4 + metrics::kRa], "ra");
    EXPECT_EQ(h[4 + metrics::kR14], "r14");
    EXPECT_EQ(h[4 + metrics::kSolarFirst], "g173_280_315");
    EXPECT_EQ(h.back(), "partial");
    auto column = [&h](const std::string& name) { return std::find(h.begin(), h.end(), name) - h.begin(); };

    const auto& d = rows[1];
    ASSERT_EQ(d.size(), h.size());
    EXPECT_EQ(d[0], "2025/06/01");
    EXPECT_EQ(d[1], "0");
    EXPECT_EQ(d[2], "2025/06/01 12:00:00");
    EXPECT_EQ(d[3], "roof\\tnorth");
    metrics::MetricsCalculator calculator;
    const metrics::LightMetrics m = calculator.Compute(daylight);
    for (int k = 0; k < metrics::kMetricCount; ++k) {
        ASSERT_TRUE(m.Has(k)) << metrics::MetricName(k);
        EXPECT_EQ(d[4 + static_cast<std::size_t>(k)], G9(m.Get(k))) << metrics::MetricName(k);
    }
    EXPECT_EQ(d.back(), "g173_280_315");

    // 400..1000 nm: no UV, no colour; the last solar band in part.
    const auto& n = rows[2];
    EXPECT_EQ(n[1], "2560");
    for (const char* name : {"pfd_uva", "X", "x", "cct", "ra", "r9", "mel_edi", "g173_280_315", "g173_315_400"})
        EXPECT_EQ(n[static_cast<std::size_t>(column(name))], "n/a") << name;
    EXPECT_NEAR(std::stod(n[static_cast<std::size_t>(column("ppfd"))]), 400.0, 0.5);
    EXPECT_EQ(n.back(), "g173_700_1050");

    // The selection as the other commands take it.
    EXPECT_EQ(Rows(Cli(Workdir() + "metrics --from '2025/6/1 12:30'").out).size(), 2u);

    // The same metrics as an export type, by number or name.
    ASSERT_EQ(Cli(Workdir() + "export q.csv --type quality").status, 0);
    const std::string csv = testsupport::ReadFileBytes("q.csv");
    EXPECT_EQ(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')), 5u + metrics::kMetricCount + 1u);
    EXPECT_NE(csv.find("\r\nRa,"), std::string::npos);
    EXPECT_EQ(Cli(Workdir() + "export q4.csv --type 4").status, 0);
    EXPECT_EQ(testsupport::ReadFileBytes("q4.csv"), csv);
    EXPECT_EQ(Cli(Workdir() + "export q5.csv --type 5").status, 2);
}

TEST_F(CliMetricsTest, DailyLightIntegralOfWholeAndBrokenDays) {
    std::vector<CSpectrumData> records;
    // 16 hours every minute on 1 June; on 2 June the same without 12:00 .. 12:10.
    for (int day = 1; day <= 2; ++day)
        for (platform::CalTime t = Local(2025, 6, day, 4); t <= Local(2025, 6, day, 20); t += 60)
            if (day == 1 || t < Local(2025, 6, 2, 12) || t > Local(2025, 6, 2, 12, 10)) records.push_back(Flat(t));
    records.push_back(Flat(Local(2025, 6, 3, 12), 400.5f, 1000.0f));  // 400 nm not covered: no PPFD
    ASSERT_EQ(CSpectrumDataWriter().WriteAll(records), 1);
    metrics::MetricsCalculator calculator;
    double ppfd = 0;
    ASSERT_TRUE(calculator.Ppfd(records[0], ppfd));

    const auto r = Cli(Workdir() + "dli");
    ASSERT_EQ(r.status, 0);
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"date", "dli", "records", "hours", "complete"}));
    EXPECT_EQ(rows[1][0], "2025/06/01");
    EXPECT_EQ(rows[1][1], G9(ppfd * 16 * 3600 / 1e6));
    EXPECT_EQ(rows[1][2], "961");
    EXPECT_EQ(rows[1][3], "16");
    EXPECT_EQ(rows[1][4], "yes");
    EXPECT_EQ(rows[2][0], "2025/06/02");
    EXPECT_EQ(rows[2][2], "950");
    EXPECT_NEAR(std::stod(rows[2][3]), 16.0 - 12.0 / 60, 1e-6);  // 11:59 .. 12:11 left out
    EXPECT_EQ(rows[2][4], "no");
    EXPECT_EQ(rows[3], (std::vector<std::string>{"2025/06/03", "n/a", "0", "0", "no"}));
}

TEST_F(CliMetricsTest, HelpAndBadUsage) {
    for (const char* command : {"metrics", "dli"}) {
        const auto help = Cli(Workdir() + command + " --help");
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("usage: heliarc-cli " + std::string(command)), std::string::npos);
        EXPECT_EQ(Cli(Workdir() + command + " extra").status, 2);
        EXPECT_EQ(Cli(Workdir() + command + " --bogus").status, 2);
    }
}
