#include "session/session.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/clock.h"
#include "quiet_tick_steps.h"
#include "settings/admin_area.h"
#include "settings/day_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"
#include "temp_env.h"

namespace tarn {
namespace {

constexpr char kBlank[] = "file:///opt/tarnview/blank.htm";

// The command line of a copy that the main instance started for bob of Kids.
StartArguments bobsCopy() {
    StartArguments arguments;
    arguments.SpawnedCopy = 1;
    arguments.GroupName = "Kids";
    arguments.UserName = "bob";
    return arguments;
}

FilterVerdict verdict(const Session& session, const std::string& address) {
    return session.navigationPolicy()->decide({address}).verdict;
}

class SessionTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        clock.setLocal(2026, 12, 10, 9, 30);
    }

    static SettingsStore group(const std::string& name) {
        return SettingsStore(std::string(kGroupsKey) + "\\" + name);
    }

    // `name` excludes addresses containing `entry`, through a list of its own.
    static void exclude(const std::string& name, const std::string& entry) {
        createExclusionList(name + " list");
        saveListPart(ListFamily::URLExclusion, name + " list", {entry});
        SettingsStore g = group(name);
        g.write_bool("", "bGroupUseExcl", true);
        g.write_string("", "sGroupExclList", name + " list");
    }

    static void useLogon() { SettingsStore(kAdminKey).write_bool("", "bUseLogon", true); }

    // Switches, and builds the lists at once where the window builds them on a thread.
    static void switchTo(Session& session, UserSettings settings) {
        const std::shared_ptr<ListBuild> build = settings.listBuild;
        session.switchTo(std::move(settings));
        if (build) {
            build->run();
            EXPECT_TRUE(session.finishLists(build));
        }
    }

    // Reloads as showing the window does.
    static void reload(Session& session) {
        const StartupSettings startup = session.readStartupSettings();
        const auto [user, group] = session.reloadIdentity(startup);
        auto settings = session.readUserSettings(user, group, "");
        session.applyStartupSettings(startup);
        switchTo(session, std::move(settings));
    }

    static void signOn(Session& session, const std::string& user, const std::string& group) {
        const std::string previous = session.groupName();
        switchTo(session, session.readUserSettings(user, group, previous));
        session.signOn();
    }

    ManualClock clock;
};

TEST_F(SessionTest, WithoutLogonTheDefaultUserIsSignedOnUnderTheGroupsLists) {
    exclude("Default Group", "bad.example");
    Session session(StartArguments{}, clock, kBlank);
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Excluded)
        << "nothing loaded yet: everything is refused";

    reload(session);
    EXPECT_EQ(session.kind(), InstanceKind::Main);
    EXPECT_EQ(session.userName(), kDefaultUser);
    EXPECT_EQ(session.groupName(), kDefaultGroup);
    EXPECT_EQ(session.configKey(), std::string(kTarnviewRoot) + "\\Default Group\\Default User");
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Allowed);
    const FilterDecision bad = session.navigationPolicy()->decide({"http://bad.example/"});
    EXPECT_EQ(bad.verdict, FilterVerdict::Excluded);
    EXPECT_TRUE(bad.log);

    EXPECT_FALSE(session.userActive());
    EXPECT_EQ(session.activate(false), Session::Activation::Nothing);
    EXPECT_TRUE(session.userActive());
}

TEST_F(SessionTest, ASettingsErrorLeavesTheSessionAsItWas) {
    useLogon();
    exclude("Staff", "bad.example");
    // A folder where the exclusion file should be: it exists but can not be read as one.
    const std::filesystem::path unreadable = dataHome / "blocked.txt";
    std::filesystem::create_directories(unreadable);
    createExclusionList("broken");
    saveListPart(ListFamily::URLExclIni, "broken", {unreadable.string()});
    SettingsStore kids = group("Kids");
    kids.write_bool("", "bGroupUseExcl", true);
    kids.write_string("", "sGroupExclList", "broken");
    SettingsStore(std::string(kGroupsKey) + "\\Staff\\Users\\eve")
        .write_string("", "sUsageTime", "2026-12-10,many");

    struct Case {
        const char* what;
        const char* user;
        const char* group;
    };
    const Case cases[] = {{"an unreadable exclusion file", "bob", "Kids"},
                          {"a usage record that is no number", "eve", "Staff"}};
    for (const Case& c : cases) {
        // Nobody was signed on: nobody is, and every address stays refused.
        Session fresh(StartArguments{}, clock, kBlank);
        fresh.applyStartupSettings(fresh.readStartupSettings());
        EXPECT_ANY_THROW(fresh.readUserSettings(c.user, c.group, "")) << c.what;
        EXPECT_EQ(verdict(fresh, "http://good.example/"), FilterVerdict::Excluded) << c.what;
        EXPECT_EQ(fresh.activate(false), Session::Activation::SignOn) << c.what;

        // Someone was: they stay, under their own lists.
        Session session(StartArguments{}, clock, kBlank);
        session.applyStartupSettings(session.readStartupSettings());
        signOn(session, "ann", "Staff");
        EXPECT_ANY_THROW(session.readUserSettings(c.user, c.group, "Staff")) << c.what;
        EXPECT_EQ(session.userName(), "ann") << c.what;
        EXPECT_EQ(session.configKey(), std::string(kTarnviewRoot) + "\\Staff\\ann") << c.what;
        EXPECT_TRUE(session.userActive()) << c.what;
        EXPECT_EQ(verdict(session, "http://bad.example/"), FilterVerdict::Excluded) << c.what;
        EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Allowed) << c.what;
    }
}

TEST_F(SessionTest, ThePolicyInTheMachineHiveOutlivesTheUsersHive) {
    SettingsStore(kConfigKey).write_int("", "iUserSet", 1);
    openAdminKey(kAdminKey)->write_bool("", "bUseLogon", true);
    // The user's hive is gone; the one that takes its place has no iUserSet.
    setenv("XDG_CONFIG_HOME", (root / "new-config").c_str(), 1);

    Session session(StartArguments{}, clock, kBlank);
    reload(session);
    EXPECT_EQ(session.adminRoot(), 1);
    EXPECT_TRUE(session.useLogon());
    EXPECT_EQ(session.userName(), "");
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Excluded);
    EXPECT_EQ(verdict(session, kBlank), FilterVerdict::Allowed);
}

TEST_F(SessionTest, SigningOffLeavesOnlyTheBlankPageAndTheSameGroupKeepsItsLists) {
    useLogon();
    exclude("Staff", "bad.example");
    Session session(StartArguments{}, clock, kBlank);
    reload(session);
    EXPECT_EQ(session.userName(), "") << "nobody is signed on yet";
    EXPECT_EQ(verdict(session, kBlank), FilterVerdict::Allowed);
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Excluded);

    signOn(session, "ann", "Staff");
    const std::string annConfig = session.configKey() + "\\Config";
    EXPECT_EQ(SettingsStore(annConfig).read_string("", "bUserActive", ""), "1");
    session.signOff();
    EXPECT_FALSE(session.userActive());
    EXPECT_EQ(SettingsStore(annConfig).read_string("", "bUserActive", ""), "0");
    const FilterDecision refused = session.navigationPolicy()->decide({"http://good.example/"});
    EXPECT_EQ(refused.verdict, FilterVerdict::Excluded);
    EXPECT_FALSE(refused.log) << "nobody to hold to account";
    EXPECT_EQ(verdict(session, kBlank), FilterVerdict::Allowed);

    // The next user of the same group keeps the lists, but the group's other values are read
    // again.
    saveListPart(ListFamily::URLExclusion, "Staff list", {"other.example"});
    group("Staff").write_bool("", "bGroupAllowMailLinks", false);
    const UserSettings next = session.readUserSettings("cat", "Staff", "Staff");
    EXPECT_FALSE(next.lists.has_value());
    session.switchTo(next);
    EXPECT_EQ(verdict(session, "http://bad.example/"), FilterVerdict::Excluded);
    EXPECT_EQ(verdict(session, "http://other.example/"), FilterVerdict::Allowed);
    EXPECT_EQ(verdict(session, "mailto:a@b.example"), FilterVerdict::MailRefused);
}

TEST_F(SessionTest, WhileTheListsAreBuiltNothingButTheBlankPageIsReached) {
    useLogon();
    exclude("Staff", "bad.example");
    exclude("Kids", "games.example");
    Session session(StartArguments{}, clock, kBlank);
    session.applyStartupSettings(session.readStartupSettings());

    UserSettings staff = session.readUserSettings("ann", "Staff", "");
    const std::shared_ptr<ListBuild> staffLists = staff.listBuild;
    ASSERT_TRUE(staffLists);
    session.switchTo(std::move(staff));
    session.signOn();
    EXPECT_TRUE(session.listsPending());
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Excluded);
    EXPECT_EQ(verdict(session, kBlank), FilterVerdict::Allowed);
    EXPECT_FALSE(session.navigationPolicy()->allowsRequest("http://good.example/a.png"));

    // Another user comes before the build is done: its filter is not the one to put in force.
    UserSettings kids = session.readUserSettings("bob", "Kids", "Staff");
    const std::shared_ptr<ListBuild> kidsLists = kids.listBuild;
    session.switchTo(std::move(kids));
    staffLists->run();
    EXPECT_FALSE(session.finishLists(staffLists));
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Excluded);

    kidsLists->run();
    EXPECT_TRUE(session.finishLists(kidsLists));
    EXPECT_FALSE(session.listsPending());
    EXPECT_EQ(kidsLists->counts(), (ListCounts{1, 0, 0}));
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Allowed);
    EXPECT_EQ(verdict(session, "http://games.example/"), FilterVerdict::Excluded);
    EXPECT_EQ(verdict(session, "http://bad.example/"), FilterVerdict::Allowed);

    // The same group signs on again while its build is still running: it is not served the
    // lists of the group before.
    session.signOff();
    UserSettings again = session.readUserSettings("cat", "Staff", "Kids");
    const std::shared_ptr<ListBuild> againLists = again.listBuild;
    session.switchTo(std::move(again));
    session.signOn();
    UserSettings same = session.readUserSettings("dan", "Staff", "Staff");
    EXPECT_TRUE(same.listBuild) << "the lists of Staff are not built yet";
    session.switchTo(std::move(same));
    // A build that ends after a sign-off puts nothing in force.
    session.signOff();
    againLists->run();
    EXPECT_FALSE(session.finishLists(againLists));
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Excluded);
}

TEST_F(SessionTest, ABuildThatFailsLeavesEverythingRefused) {
    // The file is there when the lists are read, and gone short when they are built.
    const std::filesystem::path file = dataHome / "short.txt";
    test::writeFile(file, "bad.example\n");
    createExclusionList("Files");
    saveListPart(ListFamily::URLExclIni, "Files", {file.string()});
    SettingsStore kids = group("Kids");
    kids.write_bool("", "bGroupUseExcl", true);
    kids.write_string("", "sGroupExclList", "Files");
    Session session(StartArguments{}, clock, kBlank);
    session.applyStartupSettings(session.readStartupSettings());
    UserSettings settings = session.readUserSettings("bob", "Kids", "");
    const std::shared_ptr<ListBuild> build = settings.listBuild;
    session.switchTo(std::move(settings));
    std::filesystem::resize_file(file, 0);

    build->run();
    EXPECT_EQ(build->filter(), nullptr);
    EXPECT_NE(build->error().find("short.txt"), std::string::npos) << build->error();
    EXPECT_TRUE(session.finishLists(build));
    EXPECT_EQ(verdict(session, "http://good.example/"), FilterVerdict::Excluded);
}

TEST_F(SessionTest, TheSignOnGuardIsLetGoOnEveryWayOut) {
    Session session(StartArguments{}, clock, kBlank);
    {
        const SignOnGuard first = session.beginSignOn();
        ASSERT_TRUE(first);
        EXPECT_FALSE(session.beginSignOn()) << "no second sign-on inside the first";
        EXPECT_EQ(session.activate(false), Session::Activation::Nothing);
    }
    EXPECT_FALSE(session.signingOn());
    try {
        const SignOnGuard guard = session.beginSignOn();
        throw std::runtime_error("the logon failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(session.signingOn());
    EXPECT_TRUE(session.beginSignOn());
}

TEST_F(SessionTest, ASpawnedCopyIsDecidedOnceFromItsCommandLine) {
    useLogon();
    SettingsStore kids = group("Kids");
    kids.write_bool("", "bGroupAllowClose", false);
    kids.write_bool("", "bGroupRASFlag", true);
    Session copy(bobsCopy(), clock, kBlank);
    reload(copy);
    EXPECT_EQ(copy.kind(), InstanceKind::SpawnedCopy);
    EXPECT_EQ(copy.userName(), "bob");
    EXPECT_EQ(copy.groupName(), "Kids");
    EXPECT_TRUE(copy.mayClose());
    EXPECT_FALSE(copy.keepsState());
    EXPECT_EQ(copy.dialMode(), 0);
    EXPECT_FALSE(copy.takeFirstRunCheck());
    EXPECT_EQ(copy.activate(false), Session::Activation::Nothing);
    EXPECT_TRUE(copy.userActive());

    Session main(StartArguments{}, clock, kBlank);
    reload(main);
    signOn(main, "bob", "Kids");
    EXPECT_FALSE(main.mayClose());
    EXPECT_TRUE(main.keepsState());
    EXPECT_EQ(main.dialMode(), 1);
    EXPECT_TRUE(main.takeFirstRunCheck());
    EXPECT_FALSE(main.takeFirstRunCheck());
}

TEST_F(SessionTest, AClockThatJumpsOrASuspendAddsOneMinuteAtMostAndTakesNoneAway) {
    test::QuietTickSteps steps;
    Session session(StartArguments{}, clock, kBlank);
    reload(session);
    session.activate(false);
    ASSERT_TRUE(session.userActive());
    session.tick(steps);
    const int start = session.usageMinutesToday();
    // Forward three hours, back two, then five hours asleep: one minute each.
    using std::chrono::hours, std::chrono::minutes;
    for (const auto jump :
         {hours(3) + minutes(7), -hours(2) - minutes(3), hours(5) + minutes(11)}) {
        clock.advance(jump + std::chrono::seconds(1));
        session.tick(steps);
    }
    EXPECT_EQ(session.usageMinutesToday(), start + 3);
}

TEST_F(SessionTest, TheTickCountsTheUsersMinutesAndAWatchingCopyClosesOnSignOff) {
    useLogon();
    struct Steps : test::QuietTickSteps {
        void showClock(const std::string& time) override { clock = time; }
        void closeWindow() override { closed = true; }
        std::string clock;
        bool closed = false;
    } steps;
    writeUserDayMinutes("Kids", "bob", DayRecord::Usage, "2026-12-10", 40);
    Session copy(bobsCopy(), clock, kBlank);
    reload(copy);
    copy.activate(false);
    EXPECT_EQ(copy.usageMinutesToday(), 40);
    SettingsStore(copy.configKey() + "\\Config").write_bool("", "bUserActive", true);

    for (int minute = 0; minute < 3; ++minute) {
        copy.tick(steps);
        clock.advance(std::chrono::seconds(61));
    }
    EXPECT_EQ(copy.usageMinutesToday(), 43);
    EXPECT_FALSE(steps.clock.empty());
    EXPECT_FALSE(steps.closed);

    SettingsStore(copy.configKey() + "\\Config").write_bool("", "bUserActive", false);
    copy.tick(steps);
    EXPECT_TRUE(steps.closed);
}

}  // namespace
}  // namespace tarn
