#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ConfigTestSupport.h"
#include "core/config/PrmFloat.h"
#include "core/config/PrmInt.h"
#include "core/config/PrmString.h"
#include "core/config/PrmTime.h"
#include "core/config/PrmTimeToday.h"

using configtest::Local;
using configtest::ScopedClock;
using configtest::ScopedTimeZone;

TEST(PrmIntTest, ReadsTheLeadingInteger) {
    CPrmInt v;
    EXPECT_TRUE(v.SetString(" 42 x"));
    EXPECT_EQ(v.Get(), 42);
    v.SetString("x");
    EXPECT_EQ(v.Get(), 0);
    v.SetString("12abc");
    EXPECT_EQ(v.Get(), 12);
    v.SetString("-7");
    EXPECT_EQ(v.GetString(), "-7");
    v.SetString("");
    EXPECT_EQ(v.Get(), 0);
}

TEST(PrmIntTest, SaturatesBeyondThirtyTwoBits) {
    CPrmInt v;
    v.SetString("99999999999999999999999");
    EXPECT_EQ(v.Get(), std::numeric_limits<int>::max());
    v.SetString("-4294967296");
    EXPECT_EQ(v.Get(), std::numeric_limits<int>::min());
}

TEST(PrmIntTest, DefaultIsSeparateFromValue) {
    CPrmInt v;
    v.SetDefaultString("300");
    EXPECT_EQ(v.Get(), 0);
    EXPECT_EQ(v.GetDefaultString(), "300");
}

TEST(PrmFloatTest, WritesPercentGOfTheWidenedValue) {
    CPrmFloat v;
    v.SetDefaultString("1050");
    EXPECT_EQ(v.GetDefaultString(), "1050");
    v = 0.1f;
    EXPECT_EQ(v.GetString(), "0.1");
    v = 123456789.0f;
    EXPECT_EQ(v.GetString(), "1.23457e+08");
    v = -0.00001f;
    EXPECT_EQ(v.GetString(), "-1e-05");
}

TEST(PrmFloatTest, ParsesLeadingNumberAndNarrows) {
    CPrmFloat v;
    v.SetString("2.5nm");
    EXPECT_FLOAT_EQ(v.Get(), 2.5f);
    v.SetString("nothing");
    EXPECT_EQ(v.Get(), 0.0f);
    v.SetString("0.1");
    EXPECT_EQ(v.Get(), 0.1f);
    // Beyond float range: a defined infinity, and it survives a save and reload.
    v.SetString("1e300");
    EXPECT_TRUE(std::isinf(v.Get()) && v.Get() > 0);
    CPrmFloat back;
    back.SetString(v.GetString());
    EXPECT_TRUE(std::isinf(back.Get()));
    v.SetString("-1e300");
    EXPECT_TRUE(std::isinf(v.Get()) && v.Get() < 0);
}

TEST(PrmStringTest, IsItsOwnValueAndNullMeansEmpty) {
    CPrmString s;
    s.SetDefaultString("SPC");
    EXPECT_TRUE(s.empty());
    s.SetString("abc def ");
    EXPECT_EQ(s, "abc def ");
    EXPECT_EQ(s.size(), 8u);
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.GetDefaultString(), "SPC");
}

TEST(PrmValueTest, AssignmentCopiesTheValueButNotTheKey) {
    CPrmInt a, b;
    a.SetName("SHOW_GRID");
    b.SetName("SHOW_MARKER");
    b = 5;
    a = b;
    EXPECT_EQ(a.GetName(), "SHOW_GRID");
    EXPECT_EQ(a.Get(), 5);
    CPrmString s1, s2;
    s1.SetName("A");
    s2.SetName("B");
    s2 = "x";
    s1 = s2;
    EXPECT_EQ(s1.GetName(), "A");
    EXPECT_EQ(s1, "x");
    CPrmInt c(b);  // a copy is a full copy
    EXPECT_EQ(c.GetName(), "SHOW_MARKER");
}

class PrmTimeTest : public ::testing::Test {
protected:
    ScopedTimeZone tz_{"Europe/Berlin"};
};

TEST_F(PrmTimeTest, TextRoundTripsInTheFixedForm) {
    CPrmTime t;
    ASSERT_TRUE(t.SetString("2009/5/12 7:08:09"));
    EXPECT_EQ(t.GetString(), "2009/05/12 07:08:09");
    EXPECT_EQ(t.Get(), Local(2009, 5, 12, 7, 8, 9));
    ASSERT_TRUE(t.SetString("2009/5/12"));
    EXPECT_EQ(t.GetString(), "2009/05/12 00:00:00");
}

TEST_F(PrmTimeTest, EverySeparatorEndsAField) {
    CPrmTime t;
    ASSERT_TRUE(t.SetString("2000/1/1  9:00:00"));
    EXPECT_EQ(t.GetString(), "2000/01/01 00:09:00");
    // Fields after the sixth are ignored; tabs, CR and LF separate too.
    ASSERT_TRUE(t.SetString("2001/2/3 4:5:6:7:8"));
    EXPECT_EQ(t.GetString(), "2001/02/03 04:05:06");
    ASSERT_TRUE(t.SetString("2001\t2\r3\n4:5"));
    EXPECT_EQ(t.GetString(), "2001/02/03 04:05:00");
}

TEST_F(PrmTimeTest, RejectedTextKeepsThePreviousValue) {
    CPrmTime t;
    ASSERT_TRUE(t.SetString("2009/5/12 7:08:09"));
    const platform::CalTime before = t.Get();
    for (const char* bad : {"2009/13/01 00:00:00", "", "2009/0/1", "2009/1/32", "2009/1/1 24:00:00",
                            "2009/1/1 0:60:00", "2009/1/1 0:0:60", "1899/12/31", "1969/12/31 23:59:59",
                            "3001/1/1", "2009/1/1 -1:00:00", "garbage", "99999999999/1/1"}) {
        EXPECT_FALSE(t.SetString(bad)) << bad;
        EXPECT_EQ(t.Get(), before) << bad;
    }
    EXPECT_FALSE(t.SetDefaultString("2009/13/01"));
}

TEST_F(PrmTimeTest, DayBeyondMonthEndIsNormalised) {
    CPrmTime t;
    ASSERT_TRUE(t.SetString("2009/4/31 12:00:00"));
    EXPECT_EQ(t.GetString(), "2009/05/01 12:00:00");
    ASSERT_TRUE(t.SetString("2009/2/31"));
    EXPECT_EQ(t.GetString(), "2009/03/03 00:00:00");
}

TEST_F(PrmTimeTest, RangeEndsOfTheCalendar) {
    CPrmTime t;
    EXPECT_TRUE(t.SetString("1970/1/1 0:00:00"));
    EXPECT_EQ(t.Get(), -3600);  // Berlin was an hour ahead of UTC
    EXPECT_TRUE(t.SetString("3000/12/31 23:59:59"));
    EXPECT_EQ(t.GetString(), "3000/12/31 23:59:59");
    // A value set from code outside the span has no text; reading that text back is refused.
    t = std::numeric_limits<platform::CalTime>::max();
    EXPECT_EQ(t.GetString(), "");
}

TEST_F(PrmTimeTest, DaylightSavingIsDecidedByTheCalendar) {
    CPrmTime winter, summer;
    ASSERT_TRUE(winter.SetString("2021/1/15 12:00:00"));
    ASSERT_TRUE(summer.SetString("2021/7/15 12:00:00"));
    EXPECT_EQ(winter.Get() % 86400, 11 * 3600);  // CET
    EXPECT_EQ(summer.Get() % 86400, 10 * 3600);  // CEST
}

TEST_F(PrmTimeTest, ValueAndDefaultStartAtConstruction) {
    const platform::CalTime now = Local(2015, 8, 20, 10, 30, 0);
    ScopedClock clock(now);
    CPrmTime t;
    EXPECT_EQ(t.Get(), now);
    EXPECT_EQ(t.GetDefault(), now);
}

TEST_F(PrmTimeTest, TodayKeepsOnlyTheTimeOfDay) {
    ScopedClock clock(Local(2021, 6, 15, 13, 45, 10));
    CPrmTimeToday t;
    ASSERT_TRUE(t.SetDefaultString("2000/1/1 9:00:00"));
    EXPECT_EQ(t.GetDefaultString(), "2021/06/15 09:00:00");
    ASSERT_TRUE(t.SetString("1999/12/31 23:59:58"));
    EXPECT_EQ(t.GetString(), "2021/06/15 23:59:58");
    // A rejected text moves nothing.
    EXPECT_FALSE(t.SetString("2000/1/1 25:00:00"));
    EXPECT_EQ(t.GetString(), "2021/06/15 23:59:58");

    CPrmTime plain;
    ASSERT_TRUE(plain.SetString("2010/3/4 5:06:07"));
    ASSERT_TRUE(plain.SetDefaultString("2011/1/1 8:00:00"));
    EXPECT_EQ(plain.GetString(), "2010/03/04 05:06:07");  // a plain time stays where it is
    plain.MoveToToday();
    EXPECT_EQ(plain.GetString(), "2021/06/15 05:06:07");
    EXPECT_EQ(plain.GetDefaultString(), "2021/06/15 08:00:00");
}

TEST_F(PrmTimeTest, TodayKeepsTheWallClockOnDaylightSavingDays) {
    {
        ScopedClock clock(Local(2021, 3, 28, 0, 30, 0));  // spring forward at 02:00
        EXPECT_EQ(CPrmTime::Format(CPrmTime::Today(Local(2000, 1, 1, 9, 0, 0))), "2021/03/28 09:00:00");
        EXPECT_EQ(CPrmTime::Format(CPrmTime::Today(Local(2000, 1, 1, 1, 0, 0))), "2021/03/28 01:00:00");
    }
    {
        ScopedClock clock(Local(2021, 10, 31, 23, 0, 0));  // fell back at 03:00
        EXPECT_EQ(CPrmTime::Format(CPrmTime::Today(Local(2000, 1, 1, 9, 0, 0))), "2021/10/31 09:00:00");
    }
}
