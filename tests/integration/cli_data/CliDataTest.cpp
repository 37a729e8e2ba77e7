// Runs the built heliarc-cli on a generated data folder and checks what it prints.
#include <gtest/gtest.h>

#include <sstream>

#include "core/data/SpectrumDataWriter.h"
#include "tests/support/CliRun.h"
#include "tests/support/DataFolderTest.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace datatest;

namespace {

using testsupport::CliRun;

CliRun Cli(const std::string& args) {
    testsupport::CliOptions options;
    options.errFile = "";  // what it says on stderr is not looked at
    return testsupport::RunCli(args, options);
}

std::vector<std::vector<std::string>> Rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (;;) {
            std::size_t tab = line.find('\t', start);
            cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        rows.push_back(cells);
    }
    return rows;
}

class CliDataTest : public testsupport::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        CSpectrumData a = MakeRecord(Local(2009, 5, 12, 10, 0, 0), "first\tone");
        CSpectrumData b = MakeRecord(Local(2009, 5, 12, 11, 30, 0), "second");
        CSpectrumData c = MakeRecord(Local(2009, 5, 13, 9, 15, 0), "third");
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.WriteAll({a, b, c}), 1);
        expected_ = b;
    }
    CSpectrumData expected_;
};

}  // namespace

TEST_F(CliDataTest, ListPrintsEveryRecordWithDerivedValues) {
    CliRun r = Cli(Workdir() + "list");
    ASSERT_EQ(r.status, 0);
    auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0], "file_date");
    EXPECT_EQ(rows[0].size(), 22u);
    EXPECT_EQ(rows[0][21], "uvb");
    EXPECT_EQ(rows[1][0], "2009/05/12");
    EXPECT_EQ(rows[1][1], "0");
    EXPECT_EQ(rows[1][2], "2009/05/12 10:00:00");
    EXPECT_EQ(rows[1][3], "first\\tone");  // a tab inside a text never splits a column
    EXPECT_EQ(rows[2][1], "2560");
    EXPECT_EQ(rows[3][0], "2009/05/13");
    EXPECT_EQ(rows[2][15], "180");
    EXPECT_EQ(rows[2][16], "256");
    // The record's own values, from the instrument's prepared weights.
    EXPECT_NEAR(std::stof(rows[2][17]), expected_.GetPar(), 1e-5 * expected_.GetPar());
    EXPECT_NEAR(std::stof(rows[2][19]), expected_.GetLux(), 1e-5 * expected_.GetLux());
}

TEST_F(CliDataTest, ListSelectsLikeTheSearchBoxes) {
    CliRun r = Cli(Workdir() + "list --from '2009/5/12 11:00' --to '2009/5/12 23'");
    ASSERT_EQ(r.status, 0);
    auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][3], "second");
    r = Cli(Workdir() + "list --comment hir");
    EXPECT_EQ(Rows(r.out).size(), 2u);  // "third" only
    // Folder and prefix options apply to this run only.
    r = Cli(Workdir() + "--prefix XYZ list");
    EXPECT_EQ(Rows(r.out).size(), 1u);
    r = Cli(Workdir() + "list");
    EXPECT_EQ(Rows(r.out).size(), 4u);
}

// Memos written by older Windows systems are CP932: every output is the UTF-8 text the list on
// screen shows, found by that text; the stored bytes stay as they are.
TEST_F(CliDataTest, Cp932MemosAreFoundAndWrittenAsShown) {
    const std::string stored = "\x89\xAE\x8F\xE3 \x83\x65\x83\x58\x83\x67";
    const std::string shown = "\xE5\xB1\x8B\xE4\xB8\x8A \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88";  // 屋上 テスト
    ASSERT_EQ(CSpectrumDataWriter().AppendRecord(MakeRecord(Local(2009, 5, 14, 8, 0, 0), stored)), 1);
    const std::string day = testsupport::ReadFileBytes("data/SPC_20090514.hlx");
    auto rows = Rows(Cli(Workdir() + "list --comment '" + shown.substr(7) + "'").out);  // "テスト"
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][3], shown);
    EXPECT_EQ(Rows(Cli(Workdir() + "list --comment X").out).size(), 1u);  // never a trail byte
    ASSERT_EQ(Cli(Workdir() + "standard register 2009/05/14 0").status, 0);
    rows = Rows(Cli(Workdir() + "standard list").out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][4], shown);
    ASSERT_EQ(Cli(Workdir() + "export out.csv --from 2009/05/14").status, 0);
    const std::string csv = testsupport::ReadFileBytes("out.csv");
    EXPECT_NE(csv.find(shown), std::string::npos);
    EXPECT_EQ(csv.find(stored), std::string::npos);
    EXPECT_EQ(testsupport::ReadFileBytes("data/SPC_20090514.hlx"), day);
}

TEST_F(CliDataTest, SpectrumPrintsPixelsInTheChosenUnit) {
    CliRun r = Cli(Workdir() + "spectrum 2009/05/12 2560 --unit 3");
    ASSERT_EQ(r.status, 0);
    auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 257u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"pixel", "wavelength", "signal", "calibration", "irradiance"}));
    EXPECT_EQ(rows[1][0], "0");
    EXPECT_EQ(std::stof(rows[1][1]), expected_.Wavelength(0));
    EXPECT_EQ(std::stof(rows[256][2]), expected_.GetSignal()[255]);
    EXPECT_EQ(std::stof(rows[256][4]), expected_.Irradiance(255, 3));
    r = Cli(Workdir() + "spectrum jis");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(Rows(r.out).size(), 121u);
}

TEST_F(CliDataTest, BadArgumentsAndMissingRecordsGiveTheirExitStatus) {
    EXPECT_EQ(Cli(Workdir() + "spectrum 2009/02/30 0").status, 2);
    EXPECT_EQ(Cli(Workdir() + "spectrum 2009/05/12 7680").status, 1);
    EXPECT_EQ(Cli(Workdir() + "spectrum 2009/05/12 100").status, 1);
    EXPECT_EQ(Cli(Workdir() + "spectrum 2009/05/14 0").status, 1);
    EXPECT_EQ(Cli(Workdir() + "spectrum 2009/05/12 0 --unit 5").status, 2);
    EXPECT_EQ(Cli(Workdir() + "list --bogus").status, 2);
    EXPECT_EQ(Cli(Workdir() + "nosuchcommand").status, 2);
    EXPECT_EQ(Cli("").status, 2);
}

TEST_F(CliDataTest, StandardHistoryIsSharedThroughTheIniFile) {
    std::string w = "--workdir " + dir_.Path();
    auto rows = Rows(Cli(w + " standard list").out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1], "-");
    EXPECT_EQ(rows[1][4], "JIS Standard Data");
    ASSERT_EQ(Cli(w + " standard register 2009/05/12 0").status, 0);
    ASSERT_EQ(Cli(w + " standard register 2009/05/13 0").status, 0);
    EXPECT_EQ(Cli(w + " standard register 2009/05/13 2560").status, 1);
    rows = Rows(Cli(w + " standard list").out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][4], "third");  // newest first, built-in record no longer current
    EXPECT_EQ(rows[2][4], "first\\tone");
    ASSERT_EQ(Cli(w + " standard select 1").status, 0);
    rows = Rows(Cli(w + " standard list").out);
    EXPECT_EQ(rows[1][4], "first\\tone");
    ASSERT_EQ(Cli(w + " standard jis on").status, 0);
    rows = Rows(Cli(w + " standard list").out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][4], "JIS Standard Data");
    ASSERT_EQ(Cli(w + " standard remove 2").status, 0);
    EXPECT_EQ(Rows(Cli(w + " standard list").out).size(), 3u);
    EXPECT_EQ(Cli(w + " standard remove 9").status, 2);
}
