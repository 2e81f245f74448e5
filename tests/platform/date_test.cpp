#include "platform/date.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace tarn {
namespace {

using namespace std::chrono;

TEST(DateTest, FormatsAndParsesOneFormat) {
    EXPECT_EQ(formatDate(year_month_day{year{2001}, March, day{7}}), "2001-03-07");
    EXPECT_EQ(parseDate("2001-03-17"), (year_month_day{year{2001}, March, day{17}}));
    for (const char* bad :
         {"", "2001-3-17", "2001-02-30", "17.03.2001", "2001-03-1x", "2001-03-17 ", "-001-03-17"}) {
        EXPECT_FALSE(parseDate(bad).has_value()) << bad;
    }
}

TEST(DateTest, ManualClockGivesLocalDate) {
    ManualClock clock;
    clock.setLocal(2001, 3, 17, 23, 59, 59);
    EXPECT_EQ(clock.today(), "2001-03-17");
    clock.advance(seconds(1));
    EXPECT_EQ(clock.today(), "2001-03-18");
    clock.setLocal(1999, 12, 31, 0, 0, 0);
    EXPECT_EQ(clock.today(), "1999-12-31");
}

}  // namespace
}  // namespace tarn
