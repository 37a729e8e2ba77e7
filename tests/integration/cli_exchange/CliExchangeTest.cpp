// Runs the built heliarc-cli export and import on a generated data folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/config/ExportPrm.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "tests/support/CliRun.h"
#include "tests/support/DataFolderTest.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace exchangetest;

namespace {

using testsupport::CliRun;

CliRun Cli(const std::string& args) { return testsupport::RunCli(args); }

std::vector<std::string> CsvRows(const std::string& path) {
    const std::string text = testsupport::ReadFileBytes(path);
    std::vector<std::string> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        rows.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return rows;
}

std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = row.find(',', start);
        cells.push_back(row.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return cells;
        start = comma + 1;
    }
}

class CliExchangeTest : public testsupport::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.WriteAll({InstrumentRecord(Local(2009, 5, 12, 10), "first", 100.0f),
                                   InstrumentRecord(Local(2009, 5, 12, 11, 30), "second", 200.0f),
                                   InstrumentRecord(Local(2009, 5, 13, 9, 15), "third", 300.0f)}),
                  1);
    }
    std::vector<std::string> Memos(int y, int m, int d) {
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(y, m, d, day);
        std::vector<std::string> memos;
        for (const auto& r : day) memos.push_back(r.GetMemo());
        return memos;
    }
};

}  // namespace

TEST_F(CliExchangeTest, ExportWritesTheSelectionWithTheStoredSettingsUnlessOptionsOverride) {
    CliRun r = Cli(Workdir() + "export all.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> rows = CsvRows("all.csv");
    ASSERT_EQ(rows.size(), 14u + 256u);
    EXPECT_EQ(rows[0], "DATE,2009/05/12,2009/05/12,2009/05/13");
    EXPECT_EQ(rows[1], "TIME,10:00:00,11:30:00,09:15:00");
    EXPECT_EQ(rows[3], "MEMO,first,second,third");
    EXPECT_EQ(rows[12], "WL Interval,Original,Original,Original");
    EXPECT_EQ(rows[14].substr(0, 4), "300,");  // pixel 0 of the first record

    // Settings stored in the EXPORT section are used; the run-only options are not saved.
    {
        CExportPrm stored;
        stored.Load();
        stored.m_EXPORT_TYPE = 1;
        ASSERT_TRUE(stored.Save());
    }
    const std::string iniBefore = testsupport::ReadFileBytes("ZQ118.ini");
    r = Cli(Workdir() + "export calc.csv --from 2009/05/12 --to \"2009/05/12 23:59:59\"");
    ASSERT_EQ(r.status, 0) << r.err;
    rows = CsvRows("calc.csv");
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[3], "MEMO,first,second");

    r = Cli(Workdir() + "export step.csv --type 3 --standard jis --unit 1 --step 2 --min 400 --max 500 --comment hir");
    ASSERT_EQ(r.status, 0) << r.err;
    rows = CsvRows("step.csv");
    ASSERT_EQ(rows.size(), 7u + 21u);
    EXPECT_EQ(rows[3], "MEMO,third");
    EXPECT_EQ(rows[5], "WL Interval,5nm Step");
    EXPECT_EQ(rows[6], "Wavelength[nm],Difference[umol/m^2/s/um]");
    EXPECT_EQ(Cells(rows[7])[0], "400");
    EXPECT_EQ(Cells(rows.back())[0], "500");
    EXPECT_EQ(testsupport::ReadFileBytes("ZQ118.ini"), iniBefore);
}

TEST_F(CliExchangeTest, RatioAgainstTheCurrentStandardAndWithoutOne) {
    ASSERT_EQ(Cli(Workdir() + "standard register 2009/05/12 2560").status, 0);
    CliRun r = Cli(Workdir() + "export ratio.csv --type 2 --standard current");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> rows = CsvRows("ratio.csv");
    ASSERT_EQ(rows.size(), 7u + 256u);
    EXPECT_EQ(rows[6], "Wavelength[nm],Ratio[%],Ratio[%],Ratio[%]");
    // The second record is the standard: its column is 100 throughout.
    for (std::size_t k = 7; k < rows.size(); ++k) ASSERT_EQ(Cells(rows[k]).at(2), "100") << rows[k];

    // Each failure says why.
    r = Cli(Workdir() + "export none.csv --type 2 --standard none");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Export failure.\nRatio and difference data need standard data: register a record as standard "
                     "data first.\n--standard none gives none: use --standard current or jis.\n");
    EXPECT_EQ(testsupport::FileSize("none.csv"), -1);
    r = Cli(Workdir() + "export empty.csv --comment nothing-matches");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Export failure.\nThere are no records to export.\n");
    r = Cli(Workdir() + "export " + dir_.Path() + "/missing/out.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Export failure.\nCannot create a file in " + dir_.Path() + "/missing: No such file or directory\n");
}

TEST_F(CliExchangeTest, BadUsageExitsWithTwo) {
    for (const char* args : {"export", "export a.csv b.csv", "export a.csv --type 5", "export a.csv --unit x",
                             "export a.csv --step 3", "export a.csv --min 100", "export a.csv --max 2000",
                             "export a.csv --standard base", "export a.csv --bogus 1", "import",
                             "import --overwrite", "import --force x.srd"}) {
        CliRun r = Cli(Workdir() + args);
        EXPECT_EQ(r.status, 2) << args;
    }
    EXPECT_EQ(testsupport::FileSize("a.csv"), -1);
}

TEST_F(CliExchangeTest, ImportMergesAndTheExportShowsTheImportedRecords) {
    testsupport::WriteFileBytes("a.srd", HeaderV3() + RecordV3(Local(2009, 5, 12, 10, 30), "imported") +
                                             RecordV3(Local(2009, 5, 12, 11, 30), "same time") +
                                             RecordV3(Local(2009, 5, 14, 6), "new day"));
    CliRun r = Cli(Workdir() + "import a.srd");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Memos(2009, 5, 12), (std::vector<std::string>{"first", "imported", "second"}));
    EXPECT_EQ(Memos(2009, 5, 14), (std::vector<std::string>{"new day"}));

    r = Cli(Workdir() + "import --overwrite " + dir_.Path() + "/a.srd");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Memos(2009, 5, 12), (std::vector<std::string>{"first", "imported", "same time"}));

    r = Cli(Workdir() + "export back.csv --from 2009/05/14 --step 1");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> rows = CsvRows("back.csv");
    ASSERT_EQ(rows.size(), 14u + 701u);
    EXPECT_EQ(rows[2], "Exposed Time[msec],40");
    EXPECT_EQ(rows[3], "MEMO,new day");
    EXPECT_EQ(rows[4], "FOV,90");
    EXPECT_EQ(rows[5], "LON,139.123");
    EXPECT_EQ(rows[8], "TEMP,25.5");
}

TEST_F(CliExchangeTest, AFailedImportReportsItAndKeepsEveryStoredRecord) {
    const std::string before = testsupport::ReadFileBytes("data/SPC_20090512.hlx");
    const std::string good = HeaderV3() + RecordV3(Local(2009, 5, 13, 12), "good");
    const std::string cut = HeaderV3() + RecordV3(Local(2009, 5, 12, 10, 30), "cut");
    testsupport::WriteFileBytes("good.srd", good);
    testsupport::WriteFileBytes("cut.rad", cut.substr(0, cut.size() - 10));
    CliRun r = Cli(Workdir() + "import good.srd cut.rad good.srd");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Import failure. Check the file. (cut.rad)\n");
    EXPECT_EQ(testsupport::ReadFileBytes("data/SPC_20090512.hlx"), before);
    // The file before the failing one stays imported.
    EXPECT_EQ(Memos(2009, 5, 13), (std::vector<std::string>{"third", "good"}));

    r = Cli(Workdir() + "import missing.srd");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Import failure. Check the file. (missing.srd)\n");
}

namespace {

// The export's temporary in the working folder ("<name>.csv-XXXXXX"), or "".
std::string TemporaryOf(const std::string& name) {
    for (const auto& e : std::filesystem::directory_iterator("."))
        if (e.path().filename().string().rfind(name + ".csv-", 0) == 0) return e.path().filename().string();
    return "";
}

// Runs "export OUT --step 1" and hits it with sig while its temporary is still short of `whole`
// bytes: stopped first, so more writes (each of which looks for a stop) are certainly to come. The
// exit status, or -1 when the export ended before it could be caught.
int SignalMidExport(const std::string& workdir, const std::string& out, long long whole, int sig, std::string& err) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open("export-stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        const std::string cli = testsupport::CliPath();
        ::execl(cli.c_str(), cli.c_str(), "--workdir", workdir.c_str(), "export", out.c_str(), "--step", "1", nullptr);
        ::_exit(127);
    }
    bool caught = false;
    int status = 0;
    while (!caught && ::waitpid(pid, &status, WNOHANG) == 0) {
        const std::string temp = TemporaryOf(out);
        if (temp.empty() || testsupport::FileSize(temp) >= whole) continue;
        ::kill(pid, SIGSTOP);
        caught = testsupport::FileSize(temp) >= 0 && testsupport::FileSize(temp) < whole;
        if (caught) ::kill(pid, sig);
        ::kill(pid, SIGCONT);
    }
    if (caught) ::waitpid(pid, &status, 0);
    err = testsupport::ReadFileBytes("export-stderr.txt");
    if (!caught) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

// Stopped by SIGTERM or SIGINT, an export removes its temporary, keeps the earlier file and says so;
// one killed outright leaves its temporary to the next export into that folder.
TEST_F(CliExchangeTest, AStoppedOrKilledExportLeavesNoTemporaryForLong) {
    std::vector<CSpectrumData> many;
    for (int i = 0; i < 1500; ++i)
        many.push_back(InstrumentRecord(Local(2009, 5, 14) + 20 * i, "m", 1.0f + static_cast<float>(i)));
    ASSERT_EQ(CSpectrumDataWriter().WriteAll(many), 1);
    ASSERT_EQ(Cli(Workdir() + "export whole.csv --step 1").status, 0);
    const long long whole = testsupport::FileSize("whole.csv");
    ASSERT_GT(whole, 1000000);

    const std::string earlier = "an earlier export\r\n";
    for (int sig : {SIGTERM, SIGINT, SIGKILL}) {
        int status = -1;
        std::string err;
        for (int attempt = 0; attempt < 20 && status < 0; ++attempt) {
            testsupport::WriteFileBytes("big.csv", earlier);
            status = SignalMidExport(dir_.Path(), "big.csv", whole, sig, err);
        }
        ASSERT_GE(status, 0) << "every export ended before it could be stopped";
        EXPECT_EQ(testsupport::ReadFileBytes("big.csv"), earlier);
        if (sig == SIGKILL) {
            EXPECT_EQ(status, 128 + SIGKILL);
            EXPECT_NE(TemporaryOf("big.csv"), "");
        } else {
            EXPECT_EQ(status, 1);
            EXPECT_EQ(err, std::string("Export failure.\nStopped by ") + (sig == SIGTERM ? "SIGTERM" : "SIGINT") +
                               "; big.csv was left as it was.\n");
            EXPECT_EQ(TemporaryOf("big.csv"), "");
        }
    }
    // The next export into the folder removes the dead one's temporary, and no look-alike of the user's.
    for (const char* name : {"notes.csv-backup", "report.csv.csv-Ab12C", "report.txt.csv-Ab12Cd"})
        testsupport::WriteFileBytes(name, "mine");
    ASSERT_EQ(Cli(Workdir() + "export small.csv --from 2009/05/12 --to 2009/05/13").status, 0);
    EXPECT_EQ(TemporaryOf("big.csv"), "");
    for (const char* name : {"notes.csv-backup", "report.csv.csv-Ab12C", "report.txt.csv-Ab12Cd"})
        EXPECT_EQ(testsupport::ReadFileBytes(name), "mine") << name;
}
