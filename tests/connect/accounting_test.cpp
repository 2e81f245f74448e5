#include "connect/accounting.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

using Act = Verdict::Act;

class AccountingTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        clock.setLocal(2026, 12, 10, 9, 30);
    }

    // Signs ann of Kids on with what her record holds today.
    void signOn(const TimeRules& rules) {
        accounting.startUser("Kids", "ann", rules,
                             readUserDayCount("Kids", "ann", DayRecord::Usage, clock.today()));
    }

    std::string record(const char* value) const {
        return SettingsStore(kGroupsKey).read_string("Kids\\Users\\ann", value, "<absent>");
    }

    // Counts `minutes` minutes, one a minute.
    void count(int minutes, bool active, bool connected) {
        for (int i = 0; i < minutes; ++i) {
            clock.advance(std::chrono::minutes(1));
            accounting.countMinute(active, connected);
        }
    }

    ManualClock clock;
    Accounting accounting{clock};
};

TEST_F(AccountingTest, UsageWarnsAtTheMinuteBeforeTheAllowanceAndSignsOffAtItStoringEachMinute) {
    signOn({.maxUsage = 30});
    count(28, true, false);
    EXPECT_EQ(accounting.checkUsage(true).act, Act::None);
    EXPECT_EQ(record("sUsageTime"), "2026-12-10,28");
    count(1, true, false);
    EXPECT_EQ(accounting.checkUsage(true),
              (Verdict{Act::Warn, "Warning: Daily Usage reached, please logoff now!"}));
    count(1, true, false);
    EXPECT_EQ(accounting.checkUsage(true).act, Act::SignOff);
    EXPECT_EQ(record("sUsageTime"), "2026-12-10,30");
    // Nobody active counts nothing and is not checked.
    count(5, false, false);
    EXPECT_EQ(accounting.usageMinutes(), 30);
    EXPECT_EQ(accounting.checkUsage(false).act, Act::None);
}

TEST_F(AccountingTest, ConnectTimeWarnsAtTheAllowanceAndDisconnectsAMinuteLater) {
    signOn({.maxConnect = 60});
    count(60, true, true);
    EXPECT_EQ(accounting.checkConnectTime(true),
              (Verdict{Act::Warn, "Warning: Max time online, dial disconnect in 1 minute"}));
    count(1, true, true);
    EXPECT_EQ(accounting.checkConnectTime(true).act, Act::Disconnect);
    EXPECT_EQ(record("sConnectTime"), "2026-12-10,61");
}

TEST_F(AccountingTest, AnExtensionIsOfferedOnceAndThenTheLineGoes) {
    signOn({.maxConnect = 60, .extension = true, .extensionMinutes = 5});
    ASSERT_TRUE(accounting.mayConnect());
    count(61, true, true);
    EXPECT_EQ(
        accounting.checkConnectTime(true),
        (Verdict{Act::AskToStayOnline, "Connected time expired, do you want to stay online?"}));
    accounting.grantExtension();
    EXPECT_EQ(accounting.connectMinutes(), 56);
    count(4, true, true);
    EXPECT_EQ(accounting.checkConnectTime(true).act, Act::Warn);
    count(1, true, true);
    EXPECT_EQ(accounting.checkConnectTime(true),
              (Verdict{Act::Disconnect, "Connect Time Expired, disconnecting.."}));
    // The next request of the day is refused.
    EXPECT_FALSE(accounting.mayConnect());
}

TEST_F(AccountingTest, AnExtensionLargerThanTheCountLeavesOneMinute) {
    signOn({.maxConnect = 2, .extension = true, .extensionMinutes = 50});
    count(3, true, true);
    accounting.grantExtension();
    EXPECT_EQ(accounting.connectMinutes(), 1);
}

TEST_F(AccountingTest, AConnectionIsRefusedWhenTodaysStoredTimeIsOverTheAllowance) {
    writeUserDayMinutes("Kids", "ann", DayRecord::Connect, "2026-12-10", 61);
    signOn({.maxConnect = 60});
    EXPECT_FALSE(accounting.mayConnect());
    EXPECT_TRUE(accounting.extensionUsed());

    // Yesterday's record starts today at nothing; so does another person.
    writeUserDayMinutes("Kids", "ann", DayRecord::Connect, "2026-12-09", 61);
    accounting.startUser("Kids", "bob", {.maxConnect = 60}, {"2026-12-10", 0});
    EXPECT_TRUE(accounting.mayConnect());
    EXPECT_EQ(accounting.connectMinutes(), 0);
}

TEST_F(AccountingTest, IdleTimeIsCountedOnLineOnlyAndResetByActivity) {
    signOn({.idleLimit = true, .idleMinutes = 15});
    count(14, true, true);
    accounting.noteActivity();
    count(15, true, true);
    EXPECT_EQ(accounting.checkIdle(true),
              (Verdict{Act::Warn, "Warning: Dial logout in 1 minute without activity.."}));
    count(1, true, true);
    EXPECT_EQ(accounting.checkIdle(true).act, Act::Disconnect);
    EXPECT_EQ(accounting.checkIdle(false).act, Act::None);

    Accounting strict{clock};
    strict.startUser("Kids", "ann", {.idleLimit = true, .idleMinutes = 0}, {clock.today(), 0});
    strict.countMinute(true, true);
    EXPECT_EQ(strict.checkIdle(true).act, Act::Disconnect);
}

TEST_F(AccountingTest, AtMidnightTheOldDayKeepsItsMinutesAndTheNewOneStartsAtNothing) {
    clock.setLocal(2026, 12, 10, 23, 57);
    signOn({.maxConnect = 2, .extension = true, .extensionMinutes = 5});
    count(2, true, true);  // 23:58 and 23:59
    accounting.grantExtension();
    EXPECT_EQ(record("sUsageTime"), "2026-12-10,2");
    EXPECT_EQ(record("sConnectTime"), "2026-12-10,2");
    count(1, true, true);  // 00:00
    EXPECT_EQ(accounting.usageMinutes(), 1);
    EXPECT_EQ(accounting.connectMinutes(), 1);
    EXPECT_FALSE(accounting.extensionUsed());
    EXPECT_EQ(record("sUsageTime"), "2026-12-11,1");
    EXPECT_EQ(record("sConnectTime"), "2026-12-11,1");
}

TEST_F(AccountingTest, AClockSetBackNeverMovesTheCountToAnEarlierDay) {
    signOn({.maxUsage = 30});
    count(20, true, false);
    clock.setLocal(2026, 12, 9, 18, 0);
    count(1, true, false);
    EXPECT_EQ(accounting.usageMinutes(), 21);
    EXPECT_EQ(record("sUsageTime"), "2026-12-10,21");
    // Signing on again on the earlier date still finds the minutes.
    Accounting again{clock};
    again.startUser("Kids", "ann", {.maxUsage = 30},
                    readUserDayCount("Kids", "ann", DayRecord::Usage, clock.today()));
    EXPECT_EQ(again.usageMinutes(), 21);
}

TEST_F(AccountingTest, ARecordThatCanNotBeStoredIsReportedOnceAndCountingGoesOn) {
    signOn({.maxUsage = 30});
    count(1, true, false);
    // The administrative area moves to a machine hive that is no settings database.
    SettingsStore(kTarnviewRoot).write_int("Config", "iUserSet", 1);
    test::writeFile(machineHive, "not a database");
    clock.advance(std::chrono::minutes(1));
    const auto first = accounting.countMinute(true, false);
    ASSERT_TRUE(first.has_value());
    EXPECT_NE(first->find("could not be saved"), std::string::npos) << *first;
    clock.advance(std::chrono::minutes(1));
    EXPECT_FALSE(accounting.countMinute(true, false).has_value());
    EXPECT_EQ(accounting.usageMinutes(), 3);
}

TEST_F(AccountingTest, ACopyCountsButStoresNothing) {
    accounting.setStoring(false);
    signOn({.maxUsage = 30});
    count(3, true, true);
    EXPECT_EQ(accounting.usageMinutes(), 3);
    EXPECT_EQ(record("sUsageTime"), "<absent>");
    EXPECT_EQ(record("sConnectTime"), "<absent>");
}

TEST_F(AccountingTest, AKilledProgramKeepsEveryMinuteItCounted) {
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t probe = fork();
    ASSERT_GE(probe, 0);
    if (probe == 0) {
        dup2(output[1], STDOUT_FILENO);
        execl(TARN_ACCOUNTING_PROBE, TARN_ACCOUNTING_PROBE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    char said[16] = {};
    const ssize_t read = ::read(output[0], said, sizeof said - 1);
    close(output[0]);
    kill(probe, SIGKILL);
    int status = 0;
    waitpid(probe, &status, 0);
    ASSERT_GT(read, 0);
    EXPECT_STREQ(said, "counted\n");
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(record("sUsageTime"), "2026-12-10,8");
}

TEST(ConnectedTimeText, OneMinuteIsSingular) {
    EXPECT_EQ(connectedTimeText(0), "Connected for 0 min");
    EXPECT_EQ(connectedTimeText(1), "Connected for 1 min");
    EXPECT_EQ(connectedTimeText(2), "Connected for 2 mins");
}

}  // namespace
}  // namespace tarn
