// Next interval start: a grid of the span counted from local midnight, inside the daily window.
#include <gtest/gtest.h>

#include "config/MeasurementPrm.h"
#include "instrument/Measurement.h"
#include "platform/LocalTime.h"
#include "tests/support/TestSupport.h"

namespace {

platform::CalTime Local(int y, int mo, int d, int h, int mi, int s) {
    platform::CalTime t = 0;
    EXPECT_TRUE(platform::JoinLocal(y, mo, d, h, mi, s, t));
    return t;
}

class IntervalStartTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz{"JST-9"};

    CMeasurementPrm Window(const char* start, const char* end, int span) {
        CMeasurementPrm prm;
        EXPECT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString(std::string("2000/1/1 ") + start));
        EXPECT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString(std::string("2000/1/1 ") + end));
        prm.m_INTERVAL_MEASUREMENT_SPAN = span;
        return prm;
    }
    // Next start at a local time of 2026-06-20 with ms milliseconds.
    void At(const CMeasurementPrm& prm, int h, int mi, int s, int ms, platform::CalTime& next, int64_t& wait) {
        const int64_t nowMs = Local(2026, 6, 20, h, mi, s) * 1000 + ms;
        ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(prm, nowMs, next, wait));
        EXPECT_EQ(wait, next * 1000 - nowMs + 10);
    }
};

TEST_F(IntervalStartTest, BeforeInsideAndAfterTheWindow) {
    const CMeasurementPrm prm = Window("9:00:00", "17:00:00", 300);
    platform::CalTime next;
    int64_t wait;

    At(prm, 8, 12, 34, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 9, 0, 0));
    EXPECT_EQ(wait, (47 * 60 + 26) * 1000 + 10);

    At(prm, 9, 2, 0, 250, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 9, 5, 0));
    EXPECT_EQ(wait, 180000 - 250 + 10);

    // The next start after the window is tomorrow's first grid point, and the wait covers it all.
    At(prm, 17, 30, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 21, 9, 0, 0));
    EXPECT_EQ(wait, (15 * 3600 + 30 * 60) * 1000LL + 10);
}

TEST_F(IntervalStartTest, GridPointsCountFromMidnightNotFromTheStart) {
    platform::CalTime next;
    int64_t wait;
    At(Window("9:01:00", "17:00:00", 300), 7, 0, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 9, 5, 0));

    // A span that does not divide the hour: 7 s steps from midnight.
    At(Window("0:00:00", "23:59:59", 7), 12, 0, 0, 0, next, wait);
    const platform::CalTime midnight = Local(2026, 6, 20, 0, 0, 0);
    EXPECT_EQ((next - midnight) % 7, 0);
    EXPECT_GT(next, Local(2026, 6, 20, 12, 0, 0));
    EXPECT_LE(next - Local(2026, 6, 20, 12, 0, 0), 7);
}

TEST_F(IntervalStartTest, OnAGridPoint) {
    const CMeasurementPrm prm = Window("9:00:00", "17:00:00", 300);
    platform::CalTime next;
    int64_t wait;

    // At the start itself the start is due now.
    At(prm, 9, 0, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 9, 0, 0));
    EXPECT_EQ(wait, 10);
    // Half a second late it is still taken (the engine does not wait a negative time).
    At(prm, 9, 0, 0, 500, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 9, 0, 0));
    EXPECT_LT(wait, 0);

    // Elsewhere on the grid the point just reached is done: one span on.
    At(prm, 10, 0, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 10, 5, 0));

    // At the end time on a grid point one more start lies past the end; the one after is tomorrow.
    At(prm, 17, 0, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 17, 5, 0));
    At(prm, 17, 5, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 21, 9, 0, 0));
}

TEST_F(IntervalStartTest, ASpanOfZeroOrLessHasNoNextStart) {
    platform::CalTime next = 123;
    int64_t wait = 456;
    for (int span : {0, -1, -300}) {
        EXPECT_FALSE(CMeasurement::ComputeNextIntervalStart(Window("9:00:00", "17:00:00", span),
                                                            Local(2026, 6, 20, 10, 0, 0) * 1000, next, wait));
    }
}

TEST(IntervalStartDst, TomorrowIsTheSameWallClockTimeAcrossADaylightSavingChange) {
    testsupport::TzGuard tz("CET-1CEST,M3.5.0,M10.5.0/3");
    CMeasurementPrm prm;
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString("2000/1/1 9:00:00"));
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString("2000/1/1 17:00:00"));
    prm.m_INTERVAL_MEASUREMENT_SPAN = 300;
    // 2026-03-29 loses an hour at 02:00.
    platform::CalTime next;
    int64_t wait;
    const int64_t nowMs = Local(2026, 3, 28, 18, 0, 0) * 1000;
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(prm, nowMs, next, wait));
    EXPECT_EQ(next, Local(2026, 3, 29, 9, 0, 0));
    EXPECT_EQ(next - nowMs / 1000, 14 * 3600);
}

TEST(RunTimeLogPath, OneSeparatorBetweenFolderAndName) {
    testsupport::TzGuard tz("JST-9");
    const platform::CalTime t = Local(2026, 6, 20, 12, 34, 56);
    EXPECT_EQ(CMeasurement::RunTimeLogPath("C:\\", t), "C:\\RunTime_20260620_123456.csv");
    EXPECT_EQ(CMeasurement::RunTimeLogPath("D:\\data", t), "D:\\data\\RunTime_20260620_123456.csv");
}

TEST(ExposureTable, IndicesOutsideTheTableMeasureAutomatically) {
    EXPECT_EQ(CMeasurement::FixedExposureMs(1), 10);
    EXPECT_EQ(CMeasurement::FixedExposureMs(4), 100);
    EXPECT_EQ(CMeasurement::FixedExposureMs(9), 5000);
    EXPECT_EQ(CMeasurement::FixedExposureMs(0), 0);
    EXPECT_EQ(CMeasurement::FixedExposureMs(10), 0);
    for (int i : {-1, 11, 1000}) EXPECT_EQ(CMeasurement::EffectiveExposureIndex(i), 0);
    for (int i : {0, 5, 10}) EXPECT_EQ(CMeasurement::EffectiveExposureIndex(i), i);
}

}  // namespace
