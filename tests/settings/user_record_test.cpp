#include "settings/user_record.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hive_probe.h"
#include "settings/day_record.h"
#include "settings/group_record.h"
#include "settings/password_scramble.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kAnnKey = std::string(kGroupsKey) + "\\Staff\\Users\\ann";

class UserRecordTest : public test::TempEnv {};

TEST_F(UserRecordTest, AbsentValuesReadAsTheEditorsDefaults) {
    EXPECT_EQ(readUserRecord("Staff", "ann"), (UserRecord{"Default Group", true, ""}));
    EXPECT_FALSE(test::keyExists(Hive::CurrentUser, kAnnKey));
}

TEST_F(UserRecordTest, RecordRoundTripsWithThePasswordScrambled) {
    writeUserRecord("Staff", "ann", {"Staff", false, "Open Sesame"});
    EXPECT_EQ(readUserRecord("Staff", "ann"), (UserRecord{"Staff", false, "Open Sesame"}));
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kAnnKey, "sUserPassword"),
              scramblePassword("Open Sesame"));
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kAnnKey, "bUserPasswordFlag"), "0");

    writeUserRecord("Staff", "ann", {"Staff", true, ""});
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kAnnKey, "sUserPassword"), "");
    EXPECT_EQ(readUserRecord("Staff", "ann").sUserPassword, "");
}

TEST_F(UserRecordTest, PasswordWhoseScrambledFormHoldsAZeroByteSurvivesTheStore) {
    const std::string password =
        "\xFF\xFF"
        "a-b";
    const std::string scrambled = scramblePassword(password);
    ASSERT_EQ(scrambled[2], '\0');

    writeUserRecord("Staff", "ann", {"Staff", true, password});
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kAnnKey, "sUserPassword"), scrambled);
    EXPECT_EQ(readUserRecord("Staff", "ann").sUserPassword, password);
}

TEST_F(UserRecordTest, ListingUsersCreatesTheUsersKey) {
    EXPECT_THAT(listUsers("Staff"), IsEmpty());
    EXPECT_TRUE(test::keyExists(Hive::CurrentUser, std::string(kGroupsKey) + "\\Staff\\Users"));

    writeUserRecord("Staff", "zed", {"Staff", true, ""});
    writeUserRecord("Staff", "Ann", {"Staff", true, ""});
    EXPECT_THAT(listUsers("Staff"), ElementsAre("Ann", "zed"));

    deleteUser("Staff", "ZED");
    EXPECT_THAT(listUsers("Staff"), ElementsAre("Ann"));
}

TEST_F(UserRecordTest, ResetUsageEmptiesAnExistingRecordOnly) {
    writeUserRecord("Staff", "ann", {"Staff", true, ""});
    writeUserDayMinutes("Staff", "ann", DayRecord::Usage, "2001-03-17", 45);
    writeUserDayMinutes("Staff", "ann", DayRecord::Connect, "2001-03-17", 20);

    EXPECT_TRUE(resetUsage("Staff", "ann"));
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kAnnKey, "sUsageTime"), "");
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kAnnKey, "sConnectTime"), "2001-03-17,20");

    EXPECT_FALSE(resetUsage("Staff", "bob"));
    EXPECT_FALSE(
        test::keyExists(Hive::CurrentUser, std::string(kGroupsKey) + "\\Staff\\Users\\bob"));
    // A group whose Users key is missing gets none.
    writeGroupRecord("Visitors", editorGroupDefaults());
    EXPECT_FALSE(resetUsage("Visitors", "ann"));
    EXPECT_FALSE(
        test::keyExists(Hive::CurrentUser, std::string(kGroupsKey) + "\\Visitors\\Users"));
}

}  // namespace
}  // namespace tarn
