#include "settings/admin_area.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/paths.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

using AdminAreaTest = test::TempEnv;

enum class Machine { NoFile, NoAdminKey, AdminKey };

TEST_F(AdminAreaTest, AUserHiveWithoutUserSetFollowsTheMachinesAdminKey) {
    struct Case {
        const char* what;
        std::optional<const char*> userSet;  // none: the user hive has no iUserSet
        Machine machine;
        Hive expected;
    };
    const Case cases[] = {
        {"no iUserSet, the machine has an Admin key", std::nullopt, Machine::AdminKey,
         Hive::LocalMachine},
        {"no iUserSet, the machine hive has no Admin key", std::nullopt, Machine::NoAdminKey,
         Hive::CurrentUser},
        {"no iUserSet, no machine hive", std::nullopt, Machine::NoFile, Hive::CurrentUser},
        {"iUserSet that is no number", "yes", Machine::AdminKey, Hive::LocalMachine},
        {"iUserSet 0", "0", Machine::AdminKey, Hive::CurrentUser},
        {"iUserSet 2", "2", Machine::AdminKey, Hive::CurrentUser},
        {"iUserSet 1", "1", Machine::AdminKey, Hive::LocalMachine},
        {"iUserSet 1, no Admin key", "1", Machine::NoAdminKey, Hive::LocalMachine},
    };
    int number = 0;
    for (const Case& c : cases) {
        // Hives of its own for each case.
        const fs::path folder = root / std::to_string(++number);
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        setenv("TARNVIEW_MACHINE_HIVE", (folder / "machine.hive").c_str(), 1);
        if (c.machine != Machine::NoFile) {
            SettingsStore machine(kTarnviewRoot);
            machine.set_root(Hive::LocalMachine);
            machine.open_key(c.machine == Machine::AdminKey ? kAdminKey : kConfigKey, true);
        }
        if (c.userSet) {
            SettingsStore(kConfigKey).write_string("", "iUserSet", *c.userSet);
        }
        EXPECT_EQ(adminHive(), c.expected) << c.what;
        EXPECT_EQ(fs::exists(machineHiveFile()), c.machine != Machine::NoFile)
            << c.what << ": looking made the machine hive";
    }
}

TEST_F(AdminAreaTest, ADamagedMachineHiveIsReportedNotPassedOver) {
    // It may have held the policy: going on with the user's own area would drop it unseen.
    test::writeFile(machineHive, std::string(4096, 'x'));
    EXPECT_THROW(adminHive(), HiveDamagedError);
}

}  // namespace
}  // namespace tarn
