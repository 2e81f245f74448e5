#include "settings/day_record.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "settings/admin_area.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "temp_env.h"

namespace tarn {
namespace {

TEST(DayRecord, CountsOnlyTodaysMinutes) {
    struct Case {
        const char* record;
        const char* today;
        int minutes;
    };
    const Case cases[] = {
        {"2001-03-17,45", "2001-03-17", 45},
        {"2001-03-17,45", "2001-03-18", 0},
        {"", "2001-03-17", 0},
        {"2001-03-16,abc", "2001-03-17", 0},
        {"2001-03-17,0", "2001-03-17", 0},
        {"2001-03-17,1440", "2001-03-17", 1440},
        {"garbage", "2001-03-17", 0},
        {"2001-03-1,45", "2001-03-17", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dayRecordMinutes(c.record, c.today), c.minutes) << c.record << " on " << c.today;
    }
}

TEST(DayRecord, TodaysCountThatIsNoNumberIsAnError) {
    struct Case {
        const char* record;
        const char* message;
    };
    const Case cases[] = {
        {"2001-03-17,abc", "'abc' is not a valid integer value"},
        {"2001-03-17,", "'' is not a valid integer value"},
        {"2001-03-17", "'' is not a valid integer value"},
        {"2001-03-17,-5", "'-5' is not a valid integer value"},
        {"2001-03-17, 5", "' 5' is not a valid integer value"},
        {"2001-03-17,5,6", "'5,6' is not a valid integer value"},
        {"2001-03-17,99999999999", "'99999999999' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        try {
            dayRecordMinutes(c.record, "2001-03-17");
            ADD_FAILURE() << "no error for " << c.record;
        } catch (const SettingsError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

class UserDayRecordTest : public test::TempEnv {};

TEST_F(UserDayRecordTest, WritesAndReadsTheUsersRecords) {
    ManualClock clock;
    clock.setLocal(2001, 3, 17);
    writeUserDayMinutes("Staff", "ann", DayRecord::Usage, clock.today(), 45);
    writeUserDayMinutes("Staff", "ann", DayRecord::Connect, clock.today(), 12);

    SettingsStore raw(kGroupsKey);
    EXPECT_EQ(raw.read_string("Staff\\Users\\ann", "sUsageTime", "-"), "2001-03-17,45");
    EXPECT_EQ(raw.read_string("Staff\\Users\\ann", "sConnectTime", "-"), "2001-03-17,12");
    EXPECT_EQ(readUserDayCount("Staff", "ann", DayRecord::Usage, clock.today()),
              (DayCount{"2001-03-17", 45}));
    EXPECT_EQ(readUserDayCount("Staff", "ann", DayRecord::Connect, clock.today()),
              (DayCount{"2001-03-17", 12}));

    clock.setLocal(2001, 3, 18);
    EXPECT_EQ(readUserDayCount("Staff", "ann", DayRecord::Usage, clock.today()),
              (DayCount{"2001-03-18", 0}));
}

TEST(DayCountTest, ACountGoesOnOnItsOwnDayOrALaterOneNeverAnEarlier) {
    const struct {
        const char* record;
        const char* today;
        DayCount count;
    } cases[] = {
        {"", "2001-03-17", {"2001-03-17", 0}},
        {"2001-03-17,45", "2001-03-17", {"2001-03-17", 45}},
        {"2001-03-16,45", "2001-03-17", {"2001-03-17", 0}},
        // The clock was set back a day: the minutes stay where they were counted.
        {"2001-03-18,45", "2001-03-17", {"2001-03-18", 45}},
        {"2002-01-01,5", "2001-12-31", {"2002-01-01", 5}},
        // Something that is no date never becomes the day.
        {"zzzz,45", "2001-03-17", {"2001-03-17", 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(continuedDayCount(c.record, c.today), c.count) << c.record << " on " << c.today;
    }
    EXPECT_THROW(continuedDayCount("2001-03-18,x", "2001-03-17"), SettingsError);
}

TEST_F(UserDayRecordTest, ReadingAnAbsentUserCreatesNoKey) {
    EXPECT_EQ(readUserDayCount("Staff", "bob", DayRecord::Usage, "2001-03-17").minutes, 0);
    SettingsStore probe(kTarnviewRoot);
    EXPECT_FALSE(probe.open_key(std::string(kGroupsKey) + "\\Staff", false));
}

}  // namespace
}  // namespace tarn
