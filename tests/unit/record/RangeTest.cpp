#include <gtest/gtest.h>

#include "core/data/Range.h"

TEST(Range, HoldsBoundsInGivenOrder) {
    CDRange r(5.0, -1.0);  // nothing reorders the bounds
    EXPECT_EQ(r.GetMin(), 5.0);
    EXPECT_EQ(r.GetMax(), -1.0);
    r.SetMin(2.0);
    r.SetMax(3.0);
    CDRange copy(r);
    EXPECT_EQ(copy.GetMin(), 2.0);
    EXPECT_EQ(copy.GetMax(), 3.0);
}

TEST(RangeMap, MapsLinearlyWithoutClipping) {
    const CDRangeMap m(CDRange(350, 1050), CDRange(0, 700));
    EXPECT_DOUBLE_EQ(m.Map(350), 0.0);
    EXPECT_DOUBLE_EQ(m.Map(700), 350.0);
    EXPECT_DOUBLE_EQ(m.Map(1400), 1050.0);
    EXPECT_DOUBLE_EQ(m.Map(0), -350.0);
}

TEST(RangeMap, ReversedRangesMapAllTheSame) {
    EXPECT_DOUBLE_EQ(CDRangeMap(0, 10, 100, 0).Map(2.5), 75.0);
    const CDRangeMap reversedSource(10, 0, 0, 100);
    EXPECT_DOUBLE_EQ(reversedSource.Map(10), 0.0);
    EXPECT_DOUBLE_EQ(reversedSource.Map(2.5), 75.0);
    EXPECT_DOUBLE_EQ(reversedSource.Map(-10), 200.0);
    EXPECT_EQ(reversedSource.Source().GetMin(), 10.0);
    EXPECT_EQ(reversedSource.Destination().GetMax(), 100.0);
}

TEST(GraphSeries, KeepsInsertionOrder) {
    GraphSeries s;
    s.Append(3, 1);
    s.Append(1, 2);
    ASSERT_EQ(s.Count(), 2u);
    EXPECT_EQ(s.At(0), GraphSeries::Point(3, 1));
    EXPECT_EQ(s.At(1), GraphSeries::Point(1, 2));
    s.Clear();
    EXPECT_EQ(s.Count(), 0u);
}
