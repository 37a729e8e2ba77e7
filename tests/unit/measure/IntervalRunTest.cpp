// Interval runs against the in-memory instrument under an injected wall clock: one record per grid
// point, none after the window's end, the step to the next day.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/config/MeasurementPrm.h"
#include "core/data/SpectrumDataReader.h"
#include "core/instrument/Measurement.h"
#include "core/platform/LocalTime.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/measure/RecordingListener.h"
#include "tests/unit/measure/ScriptedInstrument.h"

using platform::CalTime;

namespace {

int64_t RealMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

class IntervalRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_shared<ScriptState>();
        engine.SetTransportFactory([this] { return std::make_unique<CScriptedInstrument>(state); });
    }
    void TearDown() override {
        engine.Stop();
        platform::SetClockForTesting({});
    }

    static CalTime Local(int y, int mo, int d, int h, int mi, int s) {
        CalTime t = 0;
        EXPECT_TRUE(platform::JoinLocal(y, mo, d, h, mi, s, t));
        return t;
    }
    static CMeasurementPrm Window(const char* start, const char* end, int span) {
        CMeasurementPrm prm;
        prm.m_MEASUREMENT_TYPE = CMeasurement::kInterval;
        prm.m_MEASUREMENT_SOUND = 1;
        EXPECT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString(std::string("2000/1/1 ") + start));
        EXPECT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString(std::string("2000/1/1 ") + end));
        prm.m_INTERVAL_MEASUREMENT_SPAN = span;
        return prm;
    }
    // The wall clock reads t (ms) now and keeps ticking with the real one.
    static void TickFrom(int64_t tMs) {
        const int64_t offset = tMs - RealMs();
        platform::SetClockForTesting([offset] { return RealMs() + offset; });
    }
    static void SleepUntilClock(int64_t tMs) {
        while (platform::NowMilliseconds() < tMs) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    static std::vector<int64_t> Params(const std::vector<RunEvent>& messages) {
        std::vector<int64_t> out;
        for (const auto& m : messages) out.push_back(m.time);
        return out;
    }
    static std::vector<CalTime> DayTimes(int y, int mo, int d) {
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(y, mo, d, day);
        std::vector<CalTime> out;
        for (const auto& r : day) out.push_back(r.GetTime());
        return out;
    }

    testsupport::TempWorkDir dir;
    testsupport::TzGuard tz{"JST-9"};
    std::shared_ptr<ScriptState> state;
    CRecordingListener listener;
    CMeasurement engine;
};

TEST_F(IntervalRunTest, AStartOnTheGridIsMeasuredOnceWhileTheClockStillReadsIt) {
    // The clock stands still on the window's start: the run measures it, then waits for the
    // next point instead of measuring the same second again and again.
    const CalTime start = Local(2026, 6, 20, 8, 2, 0);
    platform::SetClockForTesting([start] { return start * 1000 + 300; });
    ASSERT_TRUE(engine.Start(Window("8:02:00", "8:04:00", 20), listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kWaiting, 2, 5000)) << engine.GetErrorText();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    engine.Stop();

    EXPECT_EQ(Params(listener.Only(Ev::kStored)), (std::vector<int64_t>{start}));
    EXPECT_EQ(Params(listener.Only(Ev::kWaiting)), (std::vector<int64_t>{start, start + 20}));
    EXPECT_EQ(DayTimes(2026, 6, 20), (std::vector<CalTime>{start}));
    EXPECT_EQ(listener.Count(Ev::kError), 0);
}

TEST_F(IntervalRunTest, EachGridPointOnceFromAStartOnTheGridToTheEndOnIt) {
    const CalTime start = Local(2026, 6, 20, 12, 0, 0);
    TickFrom(start * 1000 + 200);
    ASSERT_TRUE(engine.Start(Window("12:00:00", "12:00:01", 1), listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kWaiting, 3, 10000)) << engine.GetErrorText();
    SleepUntilClock((start + 2) * 1000 + 500);  // past the end: nothing more is due today
    engine.Stop();

    EXPECT_EQ(Params(listener.Only(Ev::kStored)), (std::vector<int64_t>{start, start + 1}));
    EXPECT_EQ(Params(listener.Only(Ev::kWaiting)),
              (std::vector<int64_t>{start, start + 1, Local(2026, 6, 21, 12, 0, 0)}));
    EXPECT_EQ(DayTimes(2026, 6, 20), (std::vector<CalTime>{start, start + 1}));
    EXPECT_EQ(listener.All().back().kind, Ev::kFinished);
}

TEST_F(IntervalRunTest, StartBetweenGridPointsEndOffTheGridAcrossMidnight) {
    // 23:59:55 to 23:59:59 by 2 s: the points are 23:59:56 and 23:59:58; midnight, the grid's next
    // point, lies after the end, so tomorrow's 23:59:56 follows.
    TickFrom(Local(2026, 6, 20, 23, 59, 54) * 1000 + 600);
    ASSERT_TRUE(engine.Start(Window("23:59:55", "23:59:59", 2), listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kWaiting, 3, 10000)) << engine.GetErrorText();
    SleepUntilClock(Local(2026, 6, 21, 0, 0, 0) * 1000 + 400);
    engine.Stop();

    const CalTime s56 = Local(2026, 6, 20, 23, 59, 56), s58 = s56 + 2;
    const CalTime tomorrow = Local(2026, 6, 21, 23, 59, 56);
    EXPECT_EQ(Params(listener.Only(Ev::kStored)), (std::vector<int64_t>{s56, s58}));
    const auto waiting = Params(listener.Only(Ev::kWaiting));
    EXPECT_EQ(waiting, (std::vector<int64_t>{s56, s58, tomorrow}));
    EXPECT_EQ(DayTimes(2026, 6, 20), (std::vector<CalTime>{s56, s58}));
    EXPECT_TRUE(DayTimes(2026, 6, 21).empty());
    // What the waiting status would read after the last point of the day.
    EXPECT_EQ(CMeasurement::NextStartText(tomorrow, s58), "2026/06/21 23:59:56 ");
    EXPECT_EQ(CMeasurement::NextStartText(s58, s56), "23:59:58 ");
}

TEST_F(IntervalRunTest, AWindowWithoutAGridPointIsRefusedAtStart) {
    std::atomic<int> opened{0};
    engine.SetTransportFactory([&] {
        ++opened;
        return std::make_unique<CScriptedInstrument>(state);
    });
    for (const auto& prm : {Window("9:01:00", "9:04:59", 300), Window("17:00:00", "9:00:00", 300)}) {
        EXPECT_FALSE(engine.Start(prm, listener));
        EXPECT_EQ(engine.GetErrorText(), "Invalid interval measurement span setting.");
        EXPECT_FALSE(engine.IsMeasuring());
    }
    EXPECT_EQ(opened.load(), 0);
    EXPECT_TRUE(listener.All().empty());
}

}  // namespace
