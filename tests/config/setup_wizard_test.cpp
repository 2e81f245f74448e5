#include "config/setup_wizard.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "settings/password_scramble.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

struct Buttons {
    int page;
    bool prev, next, ok, finish;
    bool operator==(const Buttons&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Buttons& b) {
    return out << "page " << b.page << " prev " << b.prev << " next " << b.next << " ok " << b.ok
               << " finish " << b.finish;
}

Buttons buttonsOf(const SetupWizard& w) {
    return {w.page(), w.prevEnabled(), w.nextEnabled(), w.okEnabled(), w.okIsFinish()};
}

TEST(SetupWizardTest, TheUserPageIsSkippedBothWaysWithoutSignOn) {
    SetupWizard w;
    WizardAnswers a;
    EXPECT_EQ(buttonsOf(w), (Buttons{1, false, false, true, false}));
    EXPECT_TRUE(w.ok());
    EXPECT_EQ(buttonsOf(w), (Buttons{2, true, true, false, false}));
    EXPECT_FALSE(w.next(a));
    EXPECT_FALSE(w.next(a));
    EXPECT_EQ(w.page(), 4);
    EXPECT_FALSE(w.next(a));
    EXPECT_EQ(buttonsOf(w), (Buttons{6, true, false, true, true}));
    EXPECT_FALSE(w.prev(a));
    EXPECT_EQ(buttonsOf(w), (Buttons{4, true, true, false, true}));
    EXPECT_FALSE(w.next(a));
    EXPECT_FALSE(w.ok()) << "Finish on the last page ends the wizard";
}

TEST(SetupWizardTest, AfterYesToSignOnTheUserPageKeepsYouUntilItPassesEitherWay) {
    SetupWizard w;
    WizardAnswers a;
    a.signOn = true;
    w.ok();
    w.next(a);
    w.next(a);
    w.next(a);
    ASSERT_EQ(w.page(), 5);
    for (const bool forward : {true, false}) {
        const auto refusal = forward ? w.next(a) : w.prev(a);
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->message, "There was no User Id entered..");
        EXPECT_EQ(w.page(), 5);
    }
    a.userId = "ann";
    EXPECT_EQ(w.next(a)->message, "There was no password entered..");
    a.password = "Secret";
    a.confirmation = "secret";
    const auto mismatch = w.next(a);
    ASSERT_TRUE(mismatch.has_value());
    EXPECT_EQ(mismatch->message, "Password confirmation failed, try again..");
    EXPECT_EQ(mismatch->focus, WizardField::Confirmation);
    EXPECT_TRUE(mismatch->clearConfirmation);
    EXPECT_FALSE(mismatch->clearPassword);
    a.confirmation = "Secret";
    EXPECT_FALSE(w.next(a));
    EXPECT_EQ(w.page(), 6);
    EXPECT_FALSE(w.prev(a));
    EXPECT_EQ(w.page(), 5);
}

class WizardCommitTest : public test::TempEnv {
  protected:
    static std::string value(Hive hive, const std::string& section, const char* name) {
        SettingsStore store(kTarnviewRoot);
        if (hive == Hive::LocalMachine) {
            store.set_root(Hive::LocalMachine);
            store.close_key();
            if (!store.open_key(kTarnviewRoot, false))
                return "<no key>";
        }
        return store.read_string(section, name, "<absent>");
    }
};

TEST_F(WizardCommitTest, TheAnswersLandInTheHiveThirdPageChoseAndTheVersionStaysTheUsers) {
    WizardAnswers a;
    a.signOn = true;
    a.groups = true;
    a.machineHive = true;
    a.favoritesFolder = "d:\\favourites";
    a.userId = "ann";
    a.password = a.confirmation = "Secret";
    commitWizard(a, "1.10");
    EXPECT_EQ(value(Hive::LocalMachine, "Admin", "bUseLogon"), "1");
    EXPECT_EQ(value(Hive::LocalMachine, "Admin", "bUseGroups"), "1");
    EXPECT_EQ(value(Hive::LocalMachine, "Admin\\Groups\\Default Group", "sGroupFavDir"),
              "d:\\favourites");
    const std::string user = "Admin\\Groups\\Default Group\\Users\\ann";
    EXPECT_EQ(value(Hive::LocalMachine, user, "sUserGroup"), "Default Group");
    EXPECT_EQ(value(Hive::LocalMachine, user, "bUserPasswordFlag"), "1");
    EXPECT_EQ(unscramblePassword(value(Hive::LocalMachine, user, "sUserPassword")), "Secret");
    EXPECT_EQ(value(Hive::CurrentUser, "Config", "sInstalledVersion"), "1.10");
    EXPECT_EQ(value(Hive::CurrentUser, "Config", "iUserSet"), "1");
    EXPECT_EQ(value(Hive::CurrentUser, "Admin", "bUseLogon"), "<absent>");
    EXPECT_EQ(value(Hive::LocalMachine, "Config", "sInstalledVersion"), "<absent>");
}

TEST_F(WizardCommitTest, DeclinedSignOnWritesNoUserAndCancelOnlyTheVersion) {
    commitWizardCancel("1.10");
    EXPECT_EQ(value(Hive::CurrentUser, "Config", "sInstalledVersion"), "1.10");
    EXPECT_EQ(value(Hive::CurrentUser, "Admin", "bUseLogon"), "<absent>");
    EXPECT_EQ(value(Hive::CurrentUser, "Config", "iUserSet"), "<absent>");

    commitWizard(WizardAnswers{}, "1.10");
    EXPECT_EQ(value(Hive::CurrentUser, "Admin", "bUseLogon"), "0");
    EXPECT_EQ(value(Hive::CurrentUser, "Admin\\Groups\\Default Group", "sGroupFavDir"),
              "c:\\tarnview");
    EXPECT_EQ(value(Hive::CurrentUser, "Config", "iUserSet"), "0");
    SettingsStore users(std::string(kGroupsKey) + "\\Default Group\\Users");
    std::vector<std::string> names;
    users.list_subkeys(names);
    EXPECT_TRUE(names.empty());
}

// An account that may only read the machine's settings file can not choose to keep the
// administrative settings there: the commit refuses before it writes anything. Each step runs in
// a child process, so that no connection opened as root is at hand to the other account.
TEST_F(WizardCommitTest, TheMachinesFileRefusesAnAccountThatMayNotWriteIt) {
    if (geteuid() != 0)
        GTEST_SKIP() << "running as another account needs root";
    constexpr int kRefused = 0, kCommitted = 1, kOtherFailure = 2, kNoAccount = 3;
    const auto inChild = [](const std::function<int()>& step) {
        const pid_t child = fork();
        if (child == 0)
            _exit(step());
        int status = -1;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(inChild([] {
                  SettingsStore machine(kTarnviewRoot);
                  machine.set_root(Hive::LocalMachine);
                  machine.close_key();
                  machine.open_key(kTarnviewRoot, true);
                  machine.write_bool("Admin", "bUseLogon", false);
                  return 0;
              }),
              0);
    namespace fs = std::filesystem;
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(machineHive.parent_path(),
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::create_directories(configHome);
    fs::permissions(configHome, fs::perms::all);

    WizardAnswers a;
    a.signOn = true;
    a.machineHive = true;
    a.userId = "ann";
    a.password = a.confirmation = "Secret";
    EXPECT_EQ(inChild([&] {
                  constexpr gid_t kNobody = 65534;
                  if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
                      return kNoAccount;
                  try {
                      commitWizard(a, "1.10");
                      return kCommitted;
                  } catch (const SettingsError& error) {
                      const std::string expected =
                          "The administrative settings can not be kept in the settings file " +
                          machineHive.string() + ": this account may not write it.";
                      return std::string(error.what()).starts_with(expected) ? kRefused
                                                                             : kOtherFailure;
                  }
              }),
              kRefused);
    EXPECT_EQ(value(Hive::LocalMachine, "Admin", "bUseLogon"), "0");
    EXPECT_EQ(value(Hive::CurrentUser, "Config", "sInstalledVersion"), "<absent>");
    EXPECT_EQ(value(Hive::CurrentUser, "Admin", "bUseLogon"), "<absent>");
}

}  // namespace
}  // namespace tarn
