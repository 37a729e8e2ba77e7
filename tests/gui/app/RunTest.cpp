// Runs of the real engine against the simulated instrument on a pseudo-terminal, seen from the
// main dialog: a manual run read back and listed, an interval run stopped by the user, and runs
// that fail at the start and in the middle.
#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "gui/shell/MeasurementRunEngine.h"
#include "sim/SimulatedInstrument.h"
#include "gui/common/ColorStatic.h"
#include "gui/browser/DataListCtrl.h"

namespace {

using apptest::AppTest;
using apptest::Pump;
using apptest::WaitFor;

class RunTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        SimOptions options;
        options.realExposures = false;
        sim = std::make_unique<CSimulatedInstrument>(options);
        ASSERT_TRUE(sim->Start());
    }
    void TearDown() override {
        AppTest::TearDown();
        sim->Stop();
    }
    void Configure(int type, const char* from = "2000/1/1 0:00:00", const char* to = "2000/1/1 23:59:59", int span = 1) {
        CMeasurementPrm prm;
        prm.Load();
        prm.m_MEASUREMENT_TYPE = type;
        prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString(from);
        prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString(to);
        prm.m_INTERVAL_MEASUREMENT_SPAN = span;
        prm.m_MEASUREMENT_SOUND = 1;
        prm.Save();
    }
    CHeliarcDlg& MakeRealDialog(const std::string& port) {
        auto e = std::make_unique<CMeasurementRunEngine>();
        e->SetPortOverride(port);
        dialog = std::make_unique<CHeliarcDlg>(std::move(e), views);
        dialog->show();
        Pump();
        return *dialog;
    }
    bool Standby() { return dialog->StatusText() == "Standby" && !dialog->Engine().IsMeasuring(); }

    std::unique_ptr<CSimulatedInstrument> sim;
};

TEST_F(RunTest, ManualRunStoresReadsBackListsAndReturnsToStandby) {
    Configure(0);
    CHeliarcDlg& d = MakeRealDialog(sim->SlavePath());
    Find<QLineEdit>("commentEdit")->setText("first light");
    Click("startStopButton");
    EXPECT_EQ(TextOf("statusText").rfind("Measuring", 0), 0u) << TextOf("statusText");
    EXPECT_FALSE(Find<QPushButton>("startStopButton")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return d.DataSet().Count() == 1 && Standby(); }, 20000)) << d.StatusText();
    EXPECT_TRUE(prompter.calls.empty()) << prompter.calls.front().text;
    EXPECT_TRUE(Find<QPushButton>("startStopButton")->isEnabled());
    EXPECT_EQ(TextOf("startStopButton"), "Start");
    EXPECT_FALSE(Find<CColorStatic>("statusText")->IsBlinking());
    // The latest record is the one in the file, and the list shows it.
    EXPECT_NE(d.Latest().GetTime(), 0);
    EXPECT_EQ(d.Latest().GetMemo(), "first light");
    EXPECT_EQ(d.DataSet().At(0).Time, d.Latest().GetTime());
    auto* model = d.RecordList()->model();
    EXPECT_EQ(model->index(0, 0).data().toString().toStdString(),
              platform::FormatLocal(d.Latest().GetTime(), "%Y/%m/%d %H:%M:%S"));
    EXPECT_EQ(model->index(0, 1).data().toString().toStdString(), "first light");
    EXPECT_FALSE(model->index(0, 2).data().toString().isEmpty());

    // A second manual run adds a second row.
    Click("startStopButton");
    ASSERT_TRUE(WaitFor([&] { return d.DataSet().Count() == 2 && Standby(); }, 20000));
}

TEST_F(RunTest, IntervalRunStoppedByTheUser) {
    Configure(1);
    CHeliarcDlg& d = MakeRealDialog(sim->SlavePath());
    Click("startStopButton");
    EXPECT_TRUE(Find<QPushButton>("startStopButton")->isEnabled());
    EXPECT_EQ(TextOf("startStopButton"), "Stop");
    ASSERT_TRUE(WaitFor([&] { return d.DataSet().Count() >= 2; }, 20000));
    EXPECT_TRUE(d.Engine().IsMeasuring());
    EXPECT_NE(d.Latest().GetTime(), 0);
    Click("startStopButton");
    EXPECT_TRUE(Standby());
    EXPECT_EQ(TextOf("startStopButton"), "Start");
    // Whatever the worker posted before it ended changes nothing now, apart from listing records.
    const int listed = d.DataSet().Count();
    Pump(10);
    EXPECT_TRUE(Standby());
    EXPECT_GE(d.DataSet().Count(), listed);
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(RunTest, RunThatCannotOpenItsPortFailsToStart) {
    Configure(0);
    MakeRealDialog("/nonexistent/tty-heliarc");
    Click("startStopButton");
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Measurement start failure.\r\nCannot open the port. Confirm the connection.");
    EXPECT_TRUE(Standby());
    EXPECT_TRUE(Find<QPushButton>("startStopButton")->isEnabled());
}

TEST_F(RunTest, RunThatFailsMidwayStopsAndReports) {
    Configure(0);
    SimFault fault;
    fault.kind = SimFault::kErr;
    fault.command = "AM";
    sim->SetFaults({fault});
    CHeliarcDlg& d = MakeRealDialog(sim->SlavePath());
    Click("startStopButton");
    ASSERT_TRUE(WaitFor([&] { return !prompter.Messages().empty(); }, 20000));
    const std::string text = prompter.Messages()[0];
    EXPECT_EQ(text.rfind("Measurement error.\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("AM"), std::string::npos) << text;
    EXPECT_TRUE(Standby());
    EXPECT_EQ(d.DataSet().Count(), 0);
    // The next start works once the instrument answers again.
    sim->SetFaults({});
    prompter.Clear();
    Click("startStopButton");
    ASSERT_TRUE(WaitFor([&] { return d.DataSet().Count() == 1 && Standby(); }, 20000));
    EXPECT_TRUE(prompter.calls.empty());
}

}  // namespace
