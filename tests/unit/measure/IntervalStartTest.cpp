// Next interval start: a grid of the span counted from local midnight, inside the daily window.
#include <gtest/gtest.h>

#include "core/config/MeasurementPrm.h"
#include "core/instrument/Measurement.h"
#include "core/platform/LocalTime.h"
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

    // The end time on the grid is the day's last start; reached, the next one is tomorrow's first.
    At(prm, 16, 59, 59, 900, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 17, 0, 0));
    At(prm, 17, 0, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 21, 9, 0, 0));
}

TEST_F(IntervalStartTest, TheStartJustMeasuredIsNeverDueAgain) {
    const CMeasurementPrm prm = Window("9:00:00", "17:00:00", 300);
    const platform::CalTime nine = Local(2026, 6, 20, 9, 0, 0);
    platform::CalTime next;
    int64_t wait;
    // The run began on its start and measured it; the clock still reads that second.
    for (int ms : {0, 400, 999}) {
        ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(prm, nine * 1000 + ms, nine, next, wait));
        EXPECT_EQ(next, nine + 300) << ms;
        EXPECT_EQ(wait, 300000 - ms + 10);
    }
    // A record stamped a second late moves the bound with it, but not the grid.
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(prm, (nine + 1) * 1000, nine + 1, next, wait));
    EXPECT_EQ(next, nine + 300);
    // A clock set back behind the last record still never repeats its time.
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(prm, (nine - 700) * 1000, nine + 300, next, wait));
    EXPECT_EQ(next, nine + 600);
    // The day's last start measured: tomorrow, also while the clock reads it.
    const platform::CalTime five = Local(2026, 6, 20, 17, 0, 0);
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(prm, five * 1000 + 20, five, next, wait));
    EXPECT_EQ(next, Local(2026, 6, 21, 9, 0, 0));
}

TEST_F(IntervalStartTest, AnEndOffTheGridEndsAtTheLastPointBeforeIt) {
    // 08:02:00 to 08:04:00 by 20 s, and the same window ending at 08:04:10.
    platform::CalTime next;
    int64_t wait;
    for (const char* end : {"8:04:00", "8:04:10", "8:04:19"}) {
        SCOPED_TRACE(end);
        const CMeasurementPrm prm = Window("8:02:00", end, 20);
        At(prm, 8, 3, 50, 0, next, wait);
        EXPECT_EQ(next, Local(2026, 6, 20, 8, 4, 0));
        At(prm, 8, 4, 0, 5, next, wait);
        EXPECT_EQ(next, Local(2026, 6, 21, 8, 2, 0));
        At(prm, 8, 4, 15, 0, next, wait);
        EXPECT_EQ(next, Local(2026, 6, 21, 8, 2, 0));
    }
    // The start between grid points: the first start is the next point, the last the one before the end.
    const CMeasurementPrm prm = Window("8:02:07", "8:04:13", 20);
    At(prm, 8, 0, 0, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 8, 2, 20));
    At(prm, 8, 2, 7, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 8, 2, 20));
    At(prm, 8, 3, 41, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 8, 4, 0));
    At(prm, 8, 4, 1, 0, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 21, 8, 2, 20));
}

TEST_F(IntervalStartTest, AWindowWithoutAGridPointHasNoNextStart) {
    platform::CalTime next;
    int64_t wait;
    const int64_t nowMs = Local(2026, 6, 20, 10, 0, 0) * 1000;
    // Too short for a point of the grid, or ending before it starts.
    EXPECT_FALSE(CMeasurement::ComputeNextIntervalStart(Window("9:01:00", "9:04:59", 300), nowMs, next, wait));
    EXPECT_FALSE(CMeasurement::ComputeNextIntervalStart(Window("17:00:00", "9:00:00", 300), nowMs, next, wait));
    // A window of one second on the grid has exactly that start.
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(Window("12:00:00", "12:00:00", 60), nowMs, next, wait));
    EXPECT_EQ(next, Local(2026, 6, 20, 12, 0, 0));
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(Window("12:00:00", "12:00:00", 60), nowMs, next, next, wait));
    EXPECT_EQ(next, Local(2026, 6, 21, 12, 0, 0));
}

TEST_F(IntervalStartTest, TheDayChange) {
    platform::CalTime next;
    int64_t wait;
    // A window that ends at the last second of the day: then the next day's start.
    const CMeasurementPrm late = Window("23:59:50", "23:59:59", 3);
    At(late, 23, 59, 55, 500, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 20, 23, 59, 57));
    // The grid's next point, midnight, opens no window: tomorrow's first point in it.
    At(late, 23, 59, 57, 100, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 21, 23, 59, 51));
    // A window from midnight, waited for from the evening before: the grid of the new day.
    const CMeasurementPrm early = Window("0:00:00", "0:00:30", 7);
    At(early, 23, 59, 59, 500, next, wait);
    EXPECT_EQ(next, Local(2026, 6, 21, 0, 0, 0));
    EXPECT_EQ(wait, 500 + 10);
    // The last day of a month and of a year.
    const int64_t newYearsEve = Local(2026, 12, 31, 23, 0, 0) * 1000;
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(early, newYearsEve, next, wait));
    EXPECT_EQ(next, Local(2027, 1, 1, 0, 0, 0));
}

TEST_F(IntervalStartTest, WaitingTextCarriesTheDateOnlyForAnotherDay) {
    const platform::CalTime now = Local(2026, 6, 20, 8, 4, 1);
    EXPECT_EQ(CMeasurement::NextStartText(Local(2026, 6, 20, 8, 4, 20), now), "08:04:20 ");
    EXPECT_EQ(CMeasurement::NextStartText(Local(2026, 6, 21, 8, 2, 0), now), "2026/06/21 08:02:00 ");
    EXPECT_EQ(CMeasurement::NextStartText(Local(2026, 6, 20, 0, 0, 0), Local(2026, 6, 19, 23, 59, 59)),
              "2026/06/20 00:00:00 ");
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

TEST(IntervalStartDst, TheDaysLastStartReachedOnTheEveOfAChangeLeadsToTheSameWallClockStart) {
    testsupport::TzGuard tz("CET-1CEST,M3.5.0,M10.5.0/3");
    CMeasurementPrm prm;
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString("2000/1/1 9:00:00"));
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString("2000/1/1 17:00:00"));
    prm.m_INTERVAL_MEASUREMENT_SPAN = 300;
    platform::CalTime next;
    int64_t wait;
    // 2026-10-25 gains an hour at 03:00: the night is 17 hours long.
    const platform::CalTime end = Local(2026, 10, 24, 17, 0, 0);
    ASSERT_TRUE(CMeasurement::ComputeNextIntervalStart(prm, end * 1000, end, next, wait));
    EXPECT_EQ(next, Local(2026, 10, 25, 9, 0, 0));
    EXPECT_EQ(next - end, 17 * 3600);
    EXPECT_EQ(CMeasurement::NextStartText(next, end), "2026/10/25 09:00:00 ");
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
