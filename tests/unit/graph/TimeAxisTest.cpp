#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/graph/TimeAxis.h"
#include "tests/support/TestSupport.h"

using namespace time_axis;

namespace {

platform::CalTime Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    platform::CalTime t = 0;
    EXPECT_TRUE(platform::JoinLocal(y, mo, d, h, mi, s, t));
    return t;
}

std::vector<std::string> Labels(const std::vector<Tick>& ticks) {
    std::vector<std::string> out;
    for (const Tick& t : ticks) out.push_back(t.label);
    return out;
}

}  // namespace

// From a minute to a year the step is the shortest round one that fits, and the ticks fall on round
// local times, dated at midnights.
TEST(TimeAxis, StepsFromAMinuteToAYear) {
    testsupport::TzGuard tz("Asia/Tokyo");
    struct Case {
        platform::CalTime from, to;
        int maxTicks;
        Unit unit;
        int count;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {Local(2009, 5, 12, 13, 0, 7), Local(2009, 5, 12, 13, 1, 7), 7, Unit::kSecond, 10,
         {"13:00:10", "13:00:20", "13:00:30", "13:00:40", "13:00:50", "13:01:00"}},
        {Local(2009, 5, 12, 13, 3), Local(2009, 5, 12, 14, 3), 5, Unit::kMinute, 15,
         {"13:15", "13:30", "13:45", "14:00"}},
        {Local(2009, 5, 12, 5, 30), Local(2009, 5, 13, 5, 30), 5, Unit::kHour, 6, {"06:00", "12:00", "18:00", "05/13"}},
        {Local(2009, 5, 12, 8), Local(2009, 5, 19, 8), 4, Unit::kDay, 2, {"05/13", "05/15", "05/17", "05/19"}},
        {Local(2009, 1, 1), Local(2009, 12, 31, 23, 59), 12, Unit::kMonth, 1,
         {"2009/01", "2009/02", "2009/03", "2009/04", "2009/05", "2009/06", "2009/07", "2009/08", "2009/09",
          "2009/10", "2009/11", "2009/12"}},
        {Local(2009, 1, 1), Local(2010, 1, 1), 12, Unit::kMonth, 2,
         {"2009/01", "2009/03", "2009/05", "2009/07", "2009/09", "2009/11", "2010/01"}},
        {Local(2001, 3, 1), Local(2026, 3, 1), 6, Unit::kYear, 5, {"2005", "2010", "2015", "2020", "2025"}},
    };
    for (const Case& c : cases) {
        const Step step = ChooseStep(c.from, c.to, c.maxTicks);
        EXPECT_EQ(step.unit, c.unit) << c.labels.front();
        EXPECT_EQ(step.count, c.count) << c.labels.front();
        EXPECT_EQ(Labels(Ticks(c.from, c.to, c.maxTicks)), c.labels);
    }
}

// Hours stay on whole local hours across a change of daylight saving, and every range from a
// second to a decade gets no more ticks than asked and never one outside it.
TEST(TimeAxis, TicksStayInsideTheRangeAndTheLimit) {
    testsupport::TzGuard tz("Europe/Berlin");
    const std::vector<Tick> dst = Ticks(Local(2009, 3, 28, 20), Local(2009, 3, 29, 8), 5);
    EXPECT_EQ(Labels(dst), (std::vector<std::string>{"21:00", "03/29", "03:00", "06:00"}));
    const platform::CalTime from = Local(2009, 1, 30, 17, 45, 12);
    for (platform::CalTime span = 1; span < 3650LL * 86400; span = span * 3 / 2 + 1)
        for (int maxTicks : {2, 5, 11}) {
            const std::vector<Tick> ticks = Ticks(from, from + span, maxTicks);
            ASSERT_LE(static_cast<int>(ticks.size()), maxTicks) << span;
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                ASSERT_GE(ticks[i].time, from);
                ASSERT_LE(ticks[i].time, from + span);
                if (i) {
                    ASSERT_GT(ticks[i].time, ticks[i - 1].time);
                }
            }
        }
}
