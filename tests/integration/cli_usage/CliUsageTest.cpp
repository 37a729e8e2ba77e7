// What a user meets first: --version, the help of every command, and names in place of the numbers
// the settings store.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/data/SpectrumDataWriter.h"
#include "tests/support/CliRun.h"
#include "tests/support/DataFolderTest.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace datatest;

namespace {

using testsupport::CliRun;

CliRun Cli(const std::string& args) { return testsupport::RunCli(args); }

const char* const kCommands[] = {"list",    "spectrum", "standard", "export",  "import", "delete",
                                 "comment", "measure",  "metrics",  "dli",
#ifdef HELIARC_HAVE_QTSURFACE
                                 "render"
#endif
};

class CliUsageTest : public testsupport::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.WriteAll({MakeRecord(Local(2009, 5, 12, 10, 0, 0), "first"),
                                   MakeRecord(Local(2009, 5, 12, 11, 0, 0), "second")}),
                  1);
    }
    int Listed() {
        const std::string out = Cli(Workdir() + "list").out;
        return static_cast<int>(std::count(out.begin(), out.end(), '\n')) - 1;
    }
};

}  // namespace

TEST_F(CliUsageTest, VersionAndTheHelpOfEveryCommand) {
    CliRun r = Cli("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "heliarc-cli " HELIARC_VERSION "\n");
    const std::string all = Cli("--help").out;
    for (const char* command : kCommands) {
        EXPECT_NE(all.find("\n  " + std::string(command) + " "), std::string::npos) << command;
        for (const char* help : {" --help", " -h"}) {
            // Nothing of the working folder is read: the help works even where it is missing.
            r = Cli("--workdir /nonexistent " + std::string(command) + help);
            EXPECT_EQ(r.status, 0) << command;
            EXPECT_EQ(r.out.rfind("usage: heliarc-cli ", 0), 0u) << command;
            EXPECT_NE(r.out.find(std::string(command) + " "), std::string::npos) << command;
        }
    }
    // A tired user's mistakes are usage errors that point to the help.
    for (const char* wrong : {"--bogus list", "lsit", "list --from", "export a.csv --type"}) {
        r = Cli(Workdir() + wrong);
        EXPECT_EQ(r.status, 2) << wrong;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << wrong;
    }
}

TEST_F(CliUsageTest, HelpAmongOtherOptionsOnlyPrintsTheHelp) {
    CliRun r = Cli(Workdir() + "delete --from 2009/5/12 --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: heliarc-cli delete", 0), 0u);
    EXPECT_EQ(Listed(), 2);
    r = Cli(Workdir() + "export a.csv --type 1 --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(testsupport::FileSize("a.csv"), -1);
    // As an option's value it is that value: a comment no record has.
    r = Cli(Workdir() + "list --comment --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("file_date\t", 0), 0u);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST_F(CliUsageTest, NamesInAnyCaseStandForTheirNumbers) {
    const std::pair<const char*, const char*> kSame[] = {
        {"--type Calculation", "--type 1"},  {"--type RATIO --standard jis", "--type 2 --standard jis"},
        {"--type difference --standard jis", "--type 3 --standard jis"},
        {"--unit UMOL/m^2/s/um", "--unit 1"}, {"--step=5nm", "--step 2"}, {"--step 1NM", "--step 1"}};
    const std::string plain = (Cli(Workdir() + "export plain.csv"), testsupport::ReadFileBytes("plain.csv"));
    ASSERT_FALSE(plain.empty());
    for (const auto& [name, number] : kSame) {
        ASSERT_EQ(Cli(Workdir() + "export n.csv " + name).status, 0) << name;
        ASSERT_EQ(Cli(Workdir() + "export d.csv " + number).status, 0) << number;
        const std::string byName = testsupport::ReadFileBytes("n.csv");
        EXPECT_EQ(byName, testsupport::ReadFileBytes("d.csv")) << name;
        EXPECT_NE(byName, plain) << name;
    }
    const std::string photons = Cli(Workdir() + "spectrum 2009/05/12 0 --unit Photon/cm^2/s/nm").out;
    EXPECT_EQ(photons, Cli(Workdir() + "spectrum 2009/05/12 0 --unit 4").out);
    EXPECT_NE(photons, Cli(Workdir() + "spectrum 2009/05/12 0").out);

    // Numbers are read as before; anything else names the option and every value it takes.
    for (const char* wrong : {"export a.csv --type spectra", "export a.csv --unit 1.0", "export a.csv --step 5",
                              "spectrum 2009/05/12 0 --unit W/m2/um", "--demo measure --exposure 100", "--demo measure --type Hourly"}) {
        CliRun r = Cli(Workdir() + wrong);
        EXPECT_EQ(r.status, 2) << wrong;
        const std::string option = std::string(wrong).substr(std::string(wrong).rfind("--"));
        EXPECT_NE(r.err.find(option.substr(0, option.find(' ')) + " \""), std::string::npos) << wrong;
        EXPECT_NE(r.err.find("  0  "), std::string::npos) << wrong;
    }
    EXPECT_EQ(testsupport::FileSize("a.csv"), -1);
}

TEST_F(CliUsageTest, MeasureTakesTheExposureByName) {
    ASSERT_EQ(Cli(Workdir() + "--demo measure --exposure 200MS").status, 0);
    ASSERT_EQ(Cli(Workdir() + "--demo measure --exposure 5").status, 0);
    // The records store the exposure they were measured with (column 11 of list).
    std::istringstream out(Cli(Workdir() + "list --from 2020/1/1").out);
    std::vector<std::string> exposures;
    for (std::string line; std::getline(out, line);) {
        std::istringstream cells(line);
        std::string cell;
        for (int i = 0; i < 11; ++i) std::getline(cells, cell, '\t');
        exposures.push_back(cell);
    }
    EXPECT_EQ(exposures, (std::vector<std::string>{"exposure", "200", "200"}));
}
