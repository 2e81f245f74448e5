#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hive_probe.h"
#include "settings/day_record.h"
#include "settings/group_record.h"
#include "settings/logon_lookup.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;

class PolicyHiveTest : public test::TempEnv {
  protected:
    void useMachineHive(bool machine) {
        SettingsStore(kTarnviewRoot).write_int("Config", "iUserSet", machine ? 1 : 0);
    }
};

TEST_F(PolicyHiveTest, MachineHiveHoldsThePolicyWhenChosen) {
    useMachineHive(true);
    writeGroupRecord("Staff", editorGroupDefaults());
    writeUserRecord("Staff", "ann", {"Staff", true, "pw"});
    writeUserDayMinutes("Staff", "ann", DayRecord::Usage, "2001-03-17", 45);
    saveListPart(ListFamily::URLExclusion, "Adult", {"casino.example"});

    const std::string annKey = std::string(kGroupsKey) + "\\Staff\\Users\\ann";
    for (const std::string& key : {std::string(kGroupsKey) + "\\Staff", annKey,
                                   std::string(kAdminKey) + "\\URLExclusion\\Adult"}) {
        EXPECT_TRUE(test::keyExists(Hive::LocalMachine, key)) << key;
        EXPECT_FALSE(test::keyExists(Hive::CurrentUser, key)) << key;
    }
    EXPECT_EQ(test::storedText(Hive::LocalMachine, annKey, "sUsageTime"), "2001-03-17,45");
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kConfigKey, "iUserSet"), "1");
    EXPECT_FALSE(test::keyExists(Hive::LocalMachine, kConfigKey));

    EXPECT_THAT(listGroups(), ElementsAre("Default Group", "Staff"));
    EXPECT_EQ(findLogonUser("ann", true), (LogonUser{"Staff", true, "pw"}));

    // Switching back moves nothing: the current user's hive starts from defaults.
    useMachineHive(false);
    EXPECT_THAT(listGroups(), ElementsAre("Default Group"));
    EXPECT_EQ(findLogonUser("ann", true), std::nullopt);
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Adult"), ::testing::IsEmpty());
}

}  // namespace
}  // namespace tarn
