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
    EXPECT_EQ(readUserDayMinutes("Staff", "ann", DayRecord::Usage, clock.today()), 45);
    EXPECT_EQ(readUserDayMinutes("Staff", "ann", DayRecord::Connect, clock.today()), 12);

    clock.setLocal(2001, 3, 18);
    EXPECT_EQ(readUserDayMinutes("Staff", "ann", DayRecord::Usage, clock.today()), 0);
}

TEST_F(UserDayRecordTest, ReadingAnAbsentUserCreatesNoKey) {
    EXPECT_EQ(readUserDayMinutes("Staff", "bob", DayRecord::Usage, "2001-03-17"), 0);
    SettingsStore probe(kTarnviewRoot);
    EXPECT_FALSE(probe.open_key(std::string(kGroupsKey) + "\\Staff", false));
}

}  // namespace
}  // namespace tarn
