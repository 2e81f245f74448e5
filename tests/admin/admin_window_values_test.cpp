#include "admin/admin_window_values.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "settings/admin_area.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

class AdminWindowValuesTest : public test::TempEnv {
  protected:
    static std::string stored(Hive hive, std::string_view path, std::string_view name) {
        SettingsStore store(kTarnviewRoot);
        store.set_root(hive);
        if (!store.open_key(path, false))
            return "<no key>";
        return store.read_string("", name, "<none>");
    }
};

AdminWindowValues changedValues(Hive hive) {
    AdminWindowValues values;
    values.adminHive = hive;
    values.bLoggingEnabled = true;
    values.bAdminSec = true;
    values.sSecPass = "HASH";
    values.bUseLogon = true;
    values.sUserId = "ann";
    values.bUseNetId = true;
    values.sLogFileLocation = "d:\\logs\\pupils.log";
    values.iLogKeepDays = 30;
    values.bCommaDelimit = true;
    values.bUseGroups = true;
    return values;
}

TEST_F(AdminWindowValuesTest, ReadsTheDefaultsAndGivesBackWhatWasWritten) {
    const AdminWindowValues defaults = readAdminWindowValues();
    EXPECT_EQ(defaults.adminHive, Hive::CurrentUser);
    EXPECT_FALSE(defaults.bLoggingEnabled);
    EXPECT_FALSE(defaults.bAdminSec);
    EXPECT_EQ(defaults.sLogFileLocation, "c:\\tarnview.log");
    EXPECT_EQ(defaults.iLogKeepDays, 7);
    EXPECT_TRUE(defaults.bLogUserId && defaults.bLogGroupId && defaults.bLogURL &&
                defaults.bLogExcluded && defaults.bLogElapsed && defaults.bLogConnect);
    EXPECT_FALSE(defaults.bUseGroups);

    writeAdminWindowValues(changedValues(Hive::CurrentUser));
    EXPECT_EQ(readAdminWindowValues(), changedValues(Hive::CurrentUser));
    EXPECT_EQ(stored(Hive::CurrentUser, "Software\\Kestrow Software\\Tarnview\\Config", "iUserSet"),
              "0");
}

TEST_F(AdminWindowValuesTest, TheMachineHiveTakesTheValuesWhileGroupsStayWhereTheyWere) {
    writeGroupRecord("Pupils", editorGroupDefaults());
    writeAdminWindowValues(changedValues(Hive::LocalMachine));

    EXPECT_EQ(stored(Hive::CurrentUser, kConfigKey, "iUserSet"), "1");
    EXPECT_EQ(stored(Hive::LocalMachine, kAdminKey, "sUserId"), "ann");
    EXPECT_EQ(stored(Hive::LocalMachine, kAdminKey, "bUseGroups"), "1");
    EXPECT_EQ(stored(Hive::CurrentUser, kAdminKey, "sUserId"), "<none>");
    // The groups written before stay in the user's hive, out of sight until the switch goes back.
    EXPECT_EQ(readAdminWindowValues(), changedValues(Hive::LocalMachine));
    EXPECT_EQ(listGroups(), std::vector<std::string>{"Default Group"});
    writeAdminWindowValues(changedValues(Hive::CurrentUser));
    EXPECT_EQ(listGroups(), (std::vector<std::string>{"Default Group", "Pupils"}));
}

TEST_F(AdminWindowValuesTest, AMachinePolicyInForceWithoutAChoiceIsShownAsTheMachines) {
    // Closing the window must not move the administrative area to the user's own hive when the
    // machine's applies only because the user's hive names none.
    SettingsStore machine(kAdminKey);
    machine.set_root(Hive::LocalMachine);
    ASSERT_TRUE(machine.open_key(kAdminKey, true));
    machine.write_string("", "sUserId", "set by the machine");
    const AdminWindowValues values = readAdminWindowValues();
    EXPECT_EQ(values.adminHive, Hive::LocalMachine);
    EXPECT_EQ(values.sUserId, "set by the machine");
}

TEST_F(AdminWindowValuesTest, AHiveThatRefusesTheValuesLeavesBothHivesAsTheyWere) {
    writeAdminWindowValues(changedValues(Hive::CurrentUser));
    setenv("TARNVIEW_MACHINE_HIVE", "/proc/tarnview-none/machine.hive", 1);
    AdminWindowValues values = changedValues(Hive::LocalMachine);
    values.sUserId = "bob";
    try {
        writeAdminWindowValues(values);
        ADD_FAILURE() << "the write went through";
    } catch (const SettingsError& error) {
        EXPECT_NE(std::string(error.what()).find("/proc/tarnview-none/machine.hive"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(stored(Hive::CurrentUser, kConfigKey, "iUserSet"), "0");
    EXPECT_EQ(readAdminWindowValues(), changedValues(Hive::CurrentUser));
}

TEST_F(AdminWindowValuesTest, OnlyUsersOfTheDefaultGroupWhoCanSignOnCountForForcedLogon) {
    EXPECT_FALSE(defaultGroupHasUsers());
    writeUserRecord("Pupils", "ann", {"Pupils", false, ""});
    EXPECT_FALSE(defaultGroupHasUsers());
    // The record the program keeps the default user's minutes in, from its first start on.
    openAdminKey(std::string(kGroupsKey) + "\\Default Group\\Users\\Default User")
        ->write_string("", "sUsageTime", "2026-12-11,5");
    EXPECT_FALSE(defaultGroupHasUsers());
    writeUserRecord(kDefaultGroup, "bob", {kDefaultGroup, false, ""});
    EXPECT_TRUE(defaultGroupHasUsers());
}

}  // namespace
}  // namespace tarn
