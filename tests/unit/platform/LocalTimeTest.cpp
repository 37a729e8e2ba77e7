#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <optional>
#include <random>
#include <string>

#include "core/platform/LocalTime.h"

using platform::CalTime;
using platform::LocalFields;

namespace {

class ZoneTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (const char* old = getenv("TZ")) old_ = old;
        setenv("TZ", GetParam(), 1);
        tzset();
    }
    void TearDown() override {
        if (old_) setenv("TZ", old_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    std::optional<std::string> old_;
};

class BerlinTest : public ZoneTest {};

LocalFields Split(CalTime t) {
    LocalFields f;
    EXPECT_TRUE(platform::SplitLocal(t, f)) << t;
    return f;
}

std::string Text(const LocalFields& f) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return buf;
}

}  // namespace

TEST_P(ZoneTest, SplitAndJoinRoundTrip) {
    // Every 7 hours and 13 seconds across more than 60 years hits all hours, both seasons and leap days.
    for (CalTime t = 0; t < 2000000000; t += 7 * 3600 + 13) {
        LocalFields f = Split(t);
        CalTime back = 0;
        ASSERT_TRUE(platform::JoinLocal(f.year, f.month, f.day, f.hour, f.minute, f.second, back)) << t;
        // In a repeated hour the join gives the first instant with these fields.
        if (back != t) {
            EXPECT_EQ(Text(Split(back)), Text(f)) << t;
            EXPECT_LT(back, t);
        }
    }
    for (int year : {1970, 1999, 2000, 2024, 2100, 2999}) {
        for (int month = 1; month <= 12; ++month) {
            CalTime t = 0;
            ASSERT_TRUE(platform::JoinLocal(year, month, 28, 12, 34, 56, t));
            EXPECT_EQ(Text(Split(t)), Text({year, month, 28, 12, 34, 56}));
        }
    }
}

TEST_P(ZoneTest, JoinNormalisesOutOfRangeFields) {
    CalTime a = 0, b = 0;
    ASSERT_TRUE(platform::JoinLocal(2009, 4, 31, 0, 0, 0, a));
    ASSERT_TRUE(platform::JoinLocal(2009, 5, 1, 0, 0, 0, b));
    EXPECT_EQ(a, b);
    ASSERT_TRUE(platform::JoinLocal(2009, 12, 31, 23, 59, 60, a));
    EXPECT_EQ(Text(Split(a)), "2010-01-01 00:00:00");
}

TEST_P(ZoneTest, RangeIsNineteenSeventyToThreeThousandLocal) {
    CalTime first = 0, last = 0;
    ASSERT_TRUE(platform::JoinLocal(1970, 1, 1, 0, 0, 0, first));
    ASSERT_TRUE(platform::JoinLocal(3000, 12, 31, 23, 59, 59, last));
    EXPECT_EQ(Text(Split(first)), "1970-01-01 00:00:00");
    EXPECT_EQ(Text(Split(last)), "3000-12-31 23:59:59");
    EXPECT_EQ(platform::FormatLocal(last, "%Y/%m/%d %H:%M:%S"), "3000/12/31 23:59:59");

    LocalFields f;
    EXPECT_FALSE(platform::SplitLocal(first - 1, f));
    EXPECT_EQ(f.year, -1);
    EXPECT_EQ(f.hour, -1);
    EXPECT_EQ(f.second, -1);
    EXPECT_FALSE(platform::SplitLocal(last + 1, f));
    EXPECT_EQ(platform::FormatLocal(first - 1, "%Y"), "");
    EXPECT_EQ(platform::FormatLocal(last + 1, "%Y"), "");

    CalTime out = 12345;
    EXPECT_FALSE(platform::JoinLocal(1969, 12, 31, 23, 59, 59, out));
    EXPECT_FALSE(platform::JoinLocal(3000, 12, 31, 23, 59, 60, out));
    EXPECT_FALSE(platform::JoinLocal(3001, 1, 1, 0, 0, 0, out));
    EXPECT_FALSE(platform::JoinLocal(1970, 1, 0, 0, 0, 0, out));  // normalises into 1969
    EXPECT_FALSE(platform::JoinLocal(-2147483647, 1, 1, 0, 0, 0, out));
    EXPECT_FALSE(platform::JoinLocal(2147483647, 1, 1, 0, 0, 0, out));
    EXPECT_EQ(out, 12345);

    EXPECT_FALSE(platform::SplitLocal(INT64_MAX, f));
    EXPECT_FALSE(platform::SplitLocal(INT64_MIN, f));
    EXPECT_FALSE(platform::LocalMidnight(INT64_MAX, out));
}

TEST_P(ZoneTest, LocalMidnightKeepsTheDate) {
    CalTime t = 0, midnight = 0;
    ASSERT_TRUE(platform::JoinLocal(2009, 5, 12, 17, 3, 4, t));
    ASSERT_TRUE(platform::LocalMidnight(t, midnight));
    EXPECT_EQ(Text(Split(midnight)), "2009-05-12 00:00:00");
}

INSTANTIATE_TEST_SUITE_P(Zones, ZoneTest, ::testing::Values("Europe/Berlin", "Asia/Tokyo"));
INSTANTIATE_TEST_SUITE_P(Zones, BerlinTest, ::testing::Values("Europe/Berlin"));

TEST_P(BerlinTest, EpochOffsetsAndTheMinusOneSecond) {
    CalTime t = 0;
    ASSERT_TRUE(platform::JoinLocal(1970, 1, 1, 0, 0, 0, t));
    EXPECT_EQ(t, -3600);
    // mktime returns -1 both for failure and for this instant; the join must still succeed.
    ASSERT_TRUE(platform::JoinLocal(1970, 1, 1, 0, 59, 59, t));
    EXPECT_EQ(t, -1);
}

TEST_P(BerlinTest, SpringGapAndAutumnOverlap) {
    // 2021-03-28 02:00 CET jumps to 03:00 CEST (01:00 UTC).
    const CalTime gapStart = 1616893200;
    EXPECT_EQ(Text(Split(gapStart - 1)), "2021-03-28 01:59:59");
    EXPECT_EQ(Text(Split(gapStart)), "2021-03-28 03:00:00");
    EXPECT_EQ(Split(gapStart - 1).isDst, 0);
    EXPECT_EQ(Split(gapStart).isDst, 1);
    // A wall time inside the gap does not exist; it is read with the offset from before the gap.
    CalTime inGap = 0;
    ASSERT_TRUE(platform::JoinLocal(2021, 3, 28, 2, 30, 0, inGap));
    EXPECT_EQ(inGap, gapStart + 1800);

    // 2021-10-31 03:00 CEST falls back to 02:00 CET (01:00 UTC): 02:30 happens twice.
    const CalTime fallBack = 1635642000;
    EXPECT_EQ(Text(Split(fallBack - 1800)), "2021-10-31 02:30:00");
    EXPECT_EQ(Text(Split(fallBack + 1800)), "2021-10-31 02:30:00");
    EXPECT_EQ(Split(fallBack - 1800).isDst, 1);
    EXPECT_EQ(Split(fallBack + 1800).isDst, 0);
    // A time shown twice is always its first pass, whatever was joined before it: a record read
    // twice must be the same.
    for (int month : {12, 7, 12}) {
        CalTime before = 0, overlap = 0, full = 0;
        ASSERT_TRUE(platform::JoinLocalUncached(2021, month, 1, 12, 0, 0, before));
        ASSERT_TRUE(platform::JoinLocal(2021, 10, 31, 2, 30, 0, overlap));
        EXPECT_EQ(overlap, fallBack - 1800) << "after a join in month " << month;
        ASSERT_TRUE(platform::JoinLocalUncached(2021, 10, 31, 2, 30, 0, full));
        EXPECT_EQ(full, fallBack - 1800) << "after a join in month " << month;
    }

    // A day with a change is 23 or 25 hours long between local midnights.
    CalTime d0 = 0, d1 = 0;
    ASSERT_TRUE(platform::JoinLocal(2021, 3, 28, 0, 0, 0, d0));
    ASSERT_TRUE(platform::JoinLocal(2021, 3, 29, 0, 0, 0, d1));
    EXPECT_EQ(d1 - d0, 23 * 3600);
    ASSERT_TRUE(platform::JoinLocal(2021, 10, 31, 0, 0, 0, d0));
    ASSERT_TRUE(platform::JoinLocal(2021, 11, 1, 0, 0, 0, d1));
    EXPECT_EQ(d1 - d0, 25 * 3600);
}

TEST(ClockTest, TestClockReplacesTheWallClock) {
    platform::SetClockForTesting([] { return int64_t{1241000000123}; });
    EXPECT_EQ(platform::Now(), 1241000000);
    EXPECT_EQ(platform::NowMilliseconds(), 1241000000123);
    platform::SetClockForTesting([] { return int64_t{-1500}; });
    EXPECT_EQ(platform::Now(), -2);  // rounds down, not towards zero
    platform::SetClockForTesting({});
    EXPECT_GT(platform::Now(), 1600000000);
}

// The hour cache of JoinLocal must give exactly what the full join gives, including around every
// change of offset: Berlin's DST changes, and Lord Howe Island's half-hour shift.
TEST(JoinLocalCacheTest, AgreesWithTheFullJoinEverywhere) {
    for (const char* zone : {"Europe/Berlin", "Australia/Lord_Howe", "Asia/Tokyo", "America/New_York", "Asia/Kolkata"}) {
        const char* old = getenv("TZ");
        std::optional<std::string> saved;
        if (old) saved = old;
        setenv("TZ", zone, 1);
        tzset();
        int mismatches = 0;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 31; ++day)
                for (int hour = 0; hour < 24; ++hour)
                    for (int minute = 0; minute < 60; minute += 7) {
                        CalTime cached = 0, plain = 0;
                        bool a = platform::JoinLocal(2009, month, day, hour, minute, 13, cached);
                        bool b = platform::JoinLocalUncached(2009, month, day, hour, minute, 13, plain);
                        if (a != b || cached != plain) ++mismatches;
                    }
        // Jumps between unrelated hours reuse the cached offset elsewhere: it must be checked there. Days
        // past a month's end are normalised.
        std::mt19937 gen(11);
        for (int i = 0; i < 20000; ++i) {
            const int year = 2008 + static_cast<int>(gen() % 4), month = 1 + static_cast<int>(gen() % 12);
            const int day = 1 + static_cast<int>(gen() % 31), hour = static_cast<int>(gen() % 24);
            const int minute = static_cast<int>(gen() % 60);
            CalTime cached = 0, plain = 0;
            bool a = platform::JoinLocal(year, month, day, hour, minute, 0, cached);
            bool b = platform::JoinLocalUncached(year, month, day, hour, minute, 0, plain);
            if (a != b || cached != plain) ++mismatches;
        }
        EXPECT_EQ(mismatches, 0) << zone;
        if (saved) setenv("TZ", saved->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
}
