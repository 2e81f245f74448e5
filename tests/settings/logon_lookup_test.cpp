#include "settings/logon_lookup.h"

#include <gtest/gtest.h>

#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

class LogonLookupTest : public test::TempEnv {};

TEST_F(LogonLookupTest, DefaultGroupIsSearchedFirst) {
    writeUserRecord("Alpha", "ann", {"Alpha", true, "alpha-pw"});
    writeUserRecord(kDefaultGroup, "ann", {"Pupils", false, "default-pw"});

    // "Alpha" enumerates before "Default Group", yet the default group's record wins, and the
    // group handed back is the one its record names.
    EXPECT_EQ(findLogonUser("ann", true), (LogonUser{"Pupils", false, "default-pw"}));
    EXPECT_EQ(findLogonUser("ann", false), (LogonUser{"Pupils", false, "default-pw"}));
}

TEST_F(LogonLookupTest, OtherGroupsAreSearchedOnlyWithGroups) {
    writeUserRecord("Staff", "bob", {"Staff", true, "Secret"});
    EXPECT_EQ(findLogonUser("bob", false), std::nullopt);
    EXPECT_EQ(findLogonUser("bob", true), (LogonUser{"Staff", true, "Secret"}));
}

TEST_F(LogonLookupTest, UserKeyWithoutGroupIsIgnored) {
    SettingsStore(std::string(kGroupsKey) + "\\Default Group\\Users\\cy")
        .write_string("", "sUserPassword", "");
    EXPECT_EQ(findLogonUser("cy", false), std::nullopt);

    writeUserRecord("Staff", "cy", {"Staff", true, ""});
    EXPECT_EQ(findLogonUser("cy", true), (LogonUser{"Staff", true, ""}));
}

TEST_F(LogonLookupTest, PasswordFlagDefaultsToRequired) {
    SettingsStore(std::string(kGroupsKey) + "\\Default Group\\Users\\dee")
        .write_string("", "sUserGroup", "Default Group");
    EXPECT_EQ(findLogonUser("dee", false), (LogonUser{"Default Group", true, ""}));
}

TEST_F(LogonLookupTest, UserIdsMatchWithoutRegardToCase) {
    writeUserRecord(kDefaultGroup, "Ann", {"Default Group", true, "Pw"});
    EXPECT_EQ(findLogonUser("aNN", false), (LogonUser{"Default Group", true, "Pw"}));
}

TEST_F(LogonLookupTest, IdsThatNameNoSingleUserAreUnknown) {
    // Records where an empty id or one with a backslash would find them.
    SettingsStore(std::string(kGroupsKey) + "\\Default Group\\Users")
        .write_string("", "sUserGroup", "Default Group");
    SettingsStore(std::string(kGroupsKey) + "\\Default Group\\Users\\ann\\sub")
        .write_string("", "sUserGroup", "Default Group");
    EXPECT_EQ(findLogonUser("", true), std::nullopt);
    EXPECT_EQ(findLogonUser("ann\\sub", true), std::nullopt);
}

}  // namespace
}  // namespace tarn
