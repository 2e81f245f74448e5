#include "session/logon_check.h"

#include <gtest/gtest.h>

#include "settings/admin_area.h"
#include "settings/day_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

constexpr char kToday[] = "2026-05-04";
using Clear = LogonOutcome::Clear;

class LogonCheckTest : public test::TempEnv {
  protected:
    static void useGroups(bool on) { openAdminKey(kAdminKey)->write_bool("", "bUseGroups", on); }
    static void setAllowance(std::string_view group, int minutes) {
        openAdminKey(kGroupsKey)->write_int(group, "iGroupMaxUsage", minutes);
    }
    static void setUsage(std::string_view group, std::string_view user, std::string_view record) {
        openAdminKey(kGroupsKey)
            ->write_string(std::string(group) + "\\Users\\" + std::string(user), kUsageTimeValue,
                           record);
    }
    static void expectRefused(const LogonOutcome& outcome, const char* message, Clear clear) {
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(outcome.clear, clear);
    }
    static void expectAccepted(const LogonOutcome& outcome, const char* group, const char* user) {
        EXPECT_TRUE(outcome.ok) << outcome.message;
        EXPECT_EQ(outcome.group, group);
        EXPECT_EQ(outcome.userId, user);
        EXPECT_EQ(outcome.message, "");
    }
};

TEST_F(LogonCheckTest, UnknownIdsAreRefused) {
    writeUserRecord("Staff", "bob", {"Staff", false, ""});
    expectRefused(checkLogon("", "", kToday), "Invalid user id..", Clear::UserId);
    expectRefused(checkLogon("nobody", "", kToday), "Invalid user id..", Clear::UserId);
    // Without groups only "Default Group" is searched.
    expectRefused(checkLogon("bob", "", kToday), "Invalid user id..", Clear::UserId);
    useGroups(true);
    expectAccepted(checkLogon("bob", "", kToday), "Staff", "bob");
}

TEST_F(LogonCheckTest, DefaultGroupRecordWinsAndNamesTheGroup) {
    useGroups(true);
    writeUserRecord("Alpha", "ann", {"Alpha", true, "alpha"});
    writeUserRecord(kDefaultGroup, "ann", {"Pupils", true, "default"});

    expectAccepted(checkLogon("ann", "default", kToday), "Pupils", "ann");
    expectRefused(checkLogon("ann", "alpha", kToday), "Incorrect Password entered..",
                  Clear::Password);
}

TEST_F(LogonCheckTest, UserIdIsHandedBackAsTyped) {
    writeUserRecord(kDefaultGroup, "Ann", {kDefaultGroup, false, ""});
    expectAccepted(checkLogon("aNN", "", kToday), kDefaultGroup, "aNN");
}

TEST_F(LogonCheckTest, PasswordsCompareExactly) {
    writeUserRecord(kDefaultGroup, "cy", {kDefaultGroup, true, "Secret"});
    expectAccepted(checkLogon("cy", "Secret", kToday), kDefaultGroup, "cy");
    for (const char* wrong : {"secret", "Secret ", "", "Secre"}) {
        expectRefused(checkLogon("cy", wrong, kToday), "Incorrect Password entered..",
                      Clear::Password);
    }
}

TEST_F(LogonCheckTest, PasswordFlagOffAcceptsAnyPassword) {
    writeUserRecord(kDefaultGroup, "dee", {kDefaultGroup, false, "unused"});
    expectAccepted(checkLogon("dee", "", kToday), kDefaultGroup, "dee");
    expectAccepted(checkLogon("dee", "anything", kToday), kDefaultGroup, "dee");
}

TEST_F(LogonCheckTest, DailyAllowanceOfTheNamedGroup) {
    writeUserRecord(kDefaultGroup, "eve", {"Pupils", false, ""});
    setAllowance("Pupils", 60);

    const struct {
        const char* usage;
        bool ok;
    } cases[] = {
        {"", true},
        {"2026-05-03,500", true},  // yesterday's minutes never block
        {"2026-05-04,59", true},
        {"2026-05-04,60", false},
        {"2026-05-04,61", false},
    };
    for (const auto& c : cases) {
        setUsage("Pupils", "eve", c.usage);
        const LogonOutcome outcome = checkLogon("eve", "", kToday);
        if (c.ok) {
            expectAccepted(outcome, "Pupils", "eve");
        } else {
            expectRefused(outcome, "You have used all your web time for today...", Clear::UserId);
        }
    }
}

TEST_F(LogonCheckTest, NoAllowanceNeverBlocks) {
    writeUserRecord(kDefaultGroup, "fay", {kDefaultGroup, false, ""});
    setUsage(kDefaultGroup, "fay", "2026-05-04,9999");
    setAllowance(kDefaultGroup, 0);
    expectAccepted(checkLogon("fay", "", kToday), kDefaultGroup, "fay");
    setAllowance(kDefaultGroup, -5);
    expectAccepted(checkLogon("fay", "", kToday), kDefaultGroup, "fay");
}

TEST_F(LogonCheckTest, UnreadableMinutesAreReportedAndRefused) {
    writeUserRecord(kDefaultGroup, "gus", {kDefaultGroup, false, ""});
    setAllowance(kDefaultGroup, 30);
    setUsage(kDefaultGroup, "gus", "2026-05-04,ten");
    expectRefused(checkLogon("gus", "", kToday), "'ten' is not a valid integer value", Clear::None);
}

TEST_F(LogonCheckTest, AdministrativeDataInTheMachineHive) {
    SettingsStore(kConfigKey).write_int("", "iUserSet", 1);
    writeUserRecord(kDefaultGroup, "hal", {kDefaultGroup, true, "pw"});
    setAllowance(kDefaultGroup, 10);
    setUsage(kDefaultGroup, "hal", "2026-05-04,10");
    expectRefused(checkLogon("hal", "pw", kToday), "You have used all your web time for today...",
                  Clear::UserId);

    // The current user's own hive holds none of it.
    SettingsStore(kConfigKey).write_int("", "iUserSet", 0);
    expectRefused(checkLogon("hal", "pw", kToday), "Invalid user id..", Clear::UserId);
}

}  // namespace
}  // namespace tarn
