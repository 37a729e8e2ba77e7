// An interval run of the real engine against the simulated instrument, seen from the main dialog
// under an injected wall clock: one listed record per grid point of the day's window, none after
// its end, and a waiting status that names tomorrow's date.
#include <gtest/gtest.h>

#include <chrono>

#include "AppTestUtil.h"
#include "gui/shell/MeasurementRunEngine.h"
#include "core/platform/LocalTime.h"
#include "sim/SimulatedInstrument.h"

namespace {

using apptest::AppTest;
using apptest::Pump;
using apptest::WaitFor;

int64_t RealMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

class IntervalWindowTest : public AppTest {
protected:
    void TearDown() override {
        AppTest::TearDown();  // the dialog stops its run
        if (sim) sim->Stop();
        platform::SetClockForTesting({});
    }
    static platform::CalTime Local(int h, int mi, int s, int day = 20) {
        platform::CalTime t = 0;
        EXPECT_TRUE(platform::JoinLocal(2026, 6, day, h, mi, s, t));
        return t;
    }

    testsupport::TzGuard tz{"JST-9"};
    std::unique_ptr<CSimulatedInstrument> sim;
};

TEST_F(IntervalWindowTest, OneRecordPerGridPointNoneAfterTheEndAndTomorrowsDateWhileWaiting) {
    // The clock ticks from half a second before a window that opens on the grid and ends off it.
    const platform::CalTime start = Local(8, 2, 0);
    const int64_t offset = start * 1000 - 500 - RealMs();
    platform::SetClockForTesting([offset] { return RealMs() + offset; });

    SimOptions options;
    options.realExposures = false;
    sim = std::make_unique<CSimulatedInstrument>(options);
    ASSERT_TRUE(sim->Start());
    CMeasurementPrm prm;
    prm.Load();
    prm.m_MEASUREMENT_TYPE = 1;
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString("2000/1/1 8:02:00"));
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString("2000/1/1 8:02:03"));
    prm.m_INTERVAL_MEASUREMENT_SPAN = 2;
    prm.m_MEASUREMENT_SOUND = 1;
    prm.Save();

    auto e = std::make_unique<CMeasurementRunEngine>();
    e->SetPortOverride(sim->SlavePath());
    dialog = std::make_unique<CHeliarcDlg>(std::move(e), views);
    dialog->show();
    Pump();
    CHeliarcDlg& d = *dialog;

    Click("startStopButton");
    ASSERT_TRUE(WaitFor([&] { return d.StatusText() == "Waiting - Start at 08:02:02 "; }, 5000)) << d.StatusText();
    ASSERT_TRUE(WaitFor([&] { return d.StatusText() == "Waiting - Start at 2026/06/21 08:02:00 "; }, 5000))
        << d.StatusText();
    // Past the end, and past the grid point after it: nothing more arrives.
    WaitFor([&] { return platform::NowMilliseconds() > (start + 4) * 1000 + 300; }, 3000);
    Pump();
    EXPECT_TRUE(d.Engine().IsMeasuring());
    EXPECT_TRUE(prompter.calls.empty());

    ASSERT_EQ(d.DataSet().Count(), 2);
    EXPECT_EQ(d.DataSet().At(0).Time, start);
    EXPECT_EQ(d.DataSet().At(1).Time, start + 2);
    EXPECT_EQ(d.Latest().GetTime(), start + 2);
    EXPECT_EQ(TextOf("statusText"), "Waiting - Start at 2026/06/21 08:02:00 ");

    Click("startStopButton");
    EXPECT_EQ(d.StatusText(), "Standby");
}

}  // namespace
