// The daily allowances as the tick enforces them, and going on line through the simulator
// library from the toolbar.
#include <gmock/gmock.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <optional>

#include "config/wizard_form.h"
#include "connect/online_service.h"
#include "connect/ras_dialer.h"
#include "engine/web_browser.h"
#include "logon_typer.h"
#include "main_form_fixture.h"
#include "modal_answer.h"
#include "network_manager_fixture.h"
#include "platform/x11_window_driver.h"
#include "qt_wait.h"
#include "settings/day_record.h"
#include "settings/password_scramble.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"
#include "widgets/dock_toolbar.h"
#include "xvfb_display.h"

// After Qt and the test framework, whose names X's macros (None, KeyPress) would replace.
#include <X11/Xlib.h>

namespace tarn::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// The system bus of this test program, made before main (see PrivateSystemBus).
const PrivateSystemBus systemBus;

// Counts `minutes` minutes on the window's tick, a minute at a time.
void tickMinutes(TMainForm& form, ManualClock& clock, int minutes) {
    for (int i = 0; i < minutes; ++i) {
        // A whole minute and a second: the tick acts only on a new second.
        clock.advance(std::chrono::seconds(61));
        form.Timer1Timer();
    }
}

TEST_F(MainFormTest, AGroupsDailyAllowanceSignsItsUserOffAtTheLastMinuteForTheDay) {
    SettingsStore admin(kAdminKey);
    admin.write_bool("", "bUseLogon", true);
    admin.write_bool("", "bUseGroups", true);
    SettingsStore(std::string(kGroupsKey) + "\\Kids").write_int("", "iGroupMaxUsage", 30);
    writeUserRecord("Kids", "bob", {"Kids", false, ""});
    writeUserRecord("Kids", "cy", {"Kids", false, ""});
    LogonTyper bob({{QStringLiteral("bob"), QString()}});
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "bob"; }));
    ASSERT_TRUE(waitForLists(*form));

    tickMinutes(*form, clock, 29);
    EXPECT_EQ(form->StatusPanel->text(),
              QStringLiteral("Warning: Daily Usage reached, please logoff now!"));
    EXPECT_EQ(SettingsStore(kGroupsKey).read_string("Kids\\Users\\bob", "sUsageTime", ""),
              "2026-12-10,29");

    EXPECT_EQ(form->ClockPanel->toolTip(), QStringLiteral("Web time left today: 1 min."));

    // At the 30th minute the logon dialog comes back, says why, and refuses bob for the rest
    // of the day. The clock goes on meanwhile.
    bool toldWhy = false, clockRan = false;
    LogonTyper next({{QStringLiteral("bob"), QString()}, {QStringLiteral("cy"), QString()}}, [&] {
        if (toldWhy)
            return;
        auto* logon = qobject_cast<TLogonForm*>(QApplication::activeModalWidget());
        auto* reason = logon->findChild<QLabel*>(QStringLiteral("ReasonLabel"));
        toldWhy = reason && !reason->isHidden() &&
                  reason->text() == QStringLiteral("You have used all your web time for today...");
        const QString shown = form->ClockPanel->text();
        clock.advance(std::chrono::seconds(1));
        clockRan = waitUntil([&] { return form->ClockPanel->text() != shown; }, 3000);
    });
    tickMinutes(*form, clock, 1);
    EXPECT_TRUE(waitUntil([&] { return next.done(); }));
    EXPECT_TRUE(toldWhy);
    EXPECT_TRUE(clockRan) << "the clock stood still while the logon dialog was up";
    EXPECT_THAT(prompter.shown, Contains("You have used all your web time for today..."));
    EXPECT_EQ(form->session().userName(), "cy");
    EXPECT_EQ(SettingsStore(kGroupsKey).read_string("Kids\\Users\\bob", "sUsageTime", ""),
              "2026-12-10,30");
}

TEST_F(MainFormTest, TheToolbarBringsARealNetworkManagerConnectionUpAndDown) {
    ASSERT_FALSE(systemBus.address().isEmpty()) << "no private bus";
    NetworkManagerOnBus networkManager(systemBus.address());
    if (const std::string why = networkManager.startReal(root / "networkmanager"); !why.empty())
        GTEST_SKIP() << why;
    SettingsStore group(std::string(kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupRASFlag", true);
    group.write_string("", "sRASEntry", "school");
    auto form = start();
    form->ConnectButton->click();
    EXPECT_TRUE(form->session().connected());
    EXPECT_TRUE(form->DisconnectButton->isEnabled());
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("Dial: connection established.."));
    form->DisconnectButton->click();
    EXPECT_FALSE(form->session().connected());
    EXPECT_TRUE(form->ConnectButton->isEnabled());
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front();
}

// Whether the main toolbar offers `button`; a narrow window may fold it into the toolbar's
// overflow menu, so its own visibility does not tell.
bool onToolbar(TMainForm& form, QToolButton* button) {
    for (QAction* action : form.MainToolBar->actions()) {
        if (form.MainToolBar->widgetForAction(action) == button)
            return action->isVisible();
    }
    return false;
}

// A group that goes on line through the simulated dial-up entries.
class ConnectTest : public MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        phonebook = root / "phonebook.txt";
        writeFile(phonebook, "School\nBroken;error=678\nSlow;delay=3000\nFlaky;drop=2\n");
        setenv("TARNVIEW_RAS_PHONEBOOK", phonebook.c_str(), 1);
        setenv("TARNVIEW_RAS_LIBRARY", TARN_RAS_SIMULATOR, 1);
        logActivity();
        groupStore.emplace(std::string(kGroupsKey) + "\\Default Group");
        group().write_bool("", "bGroupRASFlag", true);
        group().write_string("", "sRASEntry", "School");
        group().write_int("", "iStartDialParam", 0);
    }
    void TearDown() override {
        unsetenv("TARNVIEW_RAS_PHONEBOOK");
        unsetenv("TARNVIEW_RAS_LIBRARY");
        groupStore.reset();
        MainFormTest::TearDown();
    }

    bool lineUp(const std::string& entry) const {
        return rasEntryConnected(entry, TARN_RAS_SIMULATOR);
    }

    // The group's key, opened once the test's hives are in place.
    SettingsStore& group() { return *groupStore; }

    std::filesystem::path phonebook;
    std::optional<SettingsStore> groupStore;
};

TEST_F(ConnectTest, TheToolbarBringsTheLineUpAndDownAndStoresTheTimeOnLine) {
    auto form = start();
    ASSERT_TRUE(onToolbar(*form, form->ConnectButton));
    EXPECT_TRUE(form->ConnectButton->isEnabled());
    EXPECT_FALSE(form->DisconnectButton->isEnabled());

    form->ConnectButton->click();
    EXPECT_TRUE(form->session().connected());
    EXPECT_TRUE(lineUp("School"));
    EXPECT_FALSE(form->ConnectButton->isEnabled());
    EXPECT_TRUE(form->DisconnectButton->isEnabled());
    EXPECT_FALSE(form->CancelButton->isEnabled());
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("Dial: connection established.."));

    tickMinutes(*form, clock, 2);
    EXPECT_EQ(form->ConnectPanel->text(), QStringLiteral("Connected for 2 mins"));

    form->DisconnectButton->click();
    EXPECT_FALSE(form->session().connected());
    EXPECT_FALSE(lineUp("School"));
    EXPECT_TRUE(form->ConnectButton->isEnabled());
    EXPECT_TRUE(form->ConnectPanel->text().isEmpty());
    EXPECT_EQ(SettingsStore(kGroupsKey)
                  .read_string("Default Group\\Users\\Default User", "sConnectTime", ""),
              "2026-12-10,2");
    const std::string text = log();
    for (const char* record : {"Starting RAS Dialup Connection process",
                               "Dialup Connection Successful", "Dialup disconnection successful"})
        EXPECT_THAT(text, HasSubstr(record));
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front();
}

TEST_F(ConnectTest, AnEntryAlreadyUpOrFailingLeavesTheWindowOffLine) {
    ASSERT_TRUE(rasDialOrHangUp(true, {"SCHOOL", "", ""}, TARN_RAS_SIMULATOR, [](auto&) {}).ok);
    auto form = start();
    form->ConnectButton->click();
    EXPECT_THAT(prompter.shown, Contains("You are already connected.."));
    EXPECT_FALSE(form->session().connected());
    EXPECT_FALSE(form->DisconnectButton->isEnabled());

    group().write_string("", "sRASEntry", "Broken");
    ASSERT_TRUE(form->ReloadSettings(true));
    ASSERT_TRUE(waitForLists(*form));
    form->ConnectButton->click();
    EXPECT_THAT(prompter.shown,
                Contains("Dial-up connection failed: The remote computer did not answer."));
    EXPECT_FALSE(form->session().connected());
    EXPECT_THAT(log(), HasSubstr("Dialup Connection failed or cancelled"));
}

TEST_F(ConnectTest, CancelGivesUpASlowDialAndTheLineDoesNotStayUp) {
    group().write_string("", "sRASEntry", "Slow");
    auto form = start();
    QTimer::singleShot(300, form.get(), [&] { form->CancelButton->click(); });
    QElapsedTimer waited;
    waited.start();
    form->ConnectButtonClick();
    EXPECT_LT(waited.elapsed(), 2500);
    EXPECT_FALSE(form->session().connected());
    EXPECT_TRUE(form->ConnectButton->isEnabled());
    EXPECT_FALSE(form->CancelButton->isEnabled());
    EXPECT_THAT(log(), HasSubstr("Dialup Connection failed or cancelled"));
    // The dial finishes on its own thread and is hung up there.
    QTest::qWait(3500);
    EXPECT_FALSE(lineUp("Slow"));
}

TEST_F(ConnectTest, ADroppedLineIsNoticedAtTheNextMinuteAndNotCounted) {
    group().write_string("", "sRASEntry", "Flaky");
    auto form = start();
    form->ConnectButton->click();
    ASSERT_TRUE(form->session().connected());
    tickMinutes(*form, clock, 1);
    QTest::qWait(2200);
    tickMinutes(*form, clock, 1);
    EXPECT_FALSE(form->session().connected());
    EXPECT_EQ(form->session().connectMinutesToday(), 1);
    EXPECT_TRUE(form->ConnectButton->isEnabled());
    EXPECT_FALSE(form->DisconnectButton->isEnabled());
    EXPECT_THAT(log(), HasSubstr("Dialup connection lost"));
}

TEST_F(ConnectTest, TheConnectTimeRunsOutAndTheNextRequestIsRefused) {
    group().write_int("", "iGroupMaxTime", 2);
    auto form = start();
    form->ConnectButton->click();
    tickMinutes(*form, clock, 2);
    EXPECT_EQ(form->StatusPanel->text(),
              QStringLiteral("Warning: Max time online, dial disconnect in 1 minute"));
    tickMinutes(*form, clock, 1);
    EXPECT_FALSE(form->session().connected());
    EXPECT_FALSE(lineUp("School"));
    form->ConnectButton->click();
    EXPECT_THAT(prompter.shown, Contains("sorry, your maximum connect time has been exceeded.."));
    EXPECT_FALSE(lineUp("School"));
}

TEST_F(ConnectTest, WithBothProvidersTheFirstConnectAsksAndTheChoiceHolds) {
    group().write_bool("", "bGroupAOLFlag", true);
    auto form = start();
    QTimer::singleShot(200, form.get(), [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu)
            menu->findChild<QAction*>(QStringLiteral("InvokeDialupRAS1"))->trigger();
        if (menu)
            menu->close();
    });
    form->ConnectButtonClick();
    ASSERT_TRUE(form->session().connected());
    form->DisconnectButtonClick();
    ASSERT_FALSE(form->session().connected());
    // No menu this time: the dial-up entry is dialled straight away.
    form->ConnectButtonClick();
    EXPECT_TRUE(form->session().connected());
    form->DisconnectButtonClick();
}

TEST_F(ConnectTest, DiallingOnTheFirstNavigationLetsTheNavigationGoOnEvenWhenItFails) {
    group().write_int("", "iStartDialParam", 2);
    group().write_string("", "sRASEntry", "Broken");
    server.addPage(QStringLiteral("/page"), "<html><title>Page</title>page</html>");
    auto form = start();
    form->Panes[0].browser->Navigate(server.url(QStringLiteral("/page")).toString());
    EXPECT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/page"))));
    EXPECT_THAT(prompter.shown,
                Contains("Dial-up connection failed: The remote computer did not answer."));
    EXPECT_FALSE(form->session().connected());

    group().write_string("", "sRASEntry", "School");
    ASSERT_TRUE(form->ReloadSettings(true));
    ASSERT_TRUE(waitForLists(*form));
    form->Panes[0].browser->Navigate(server.url(QStringLiteral("/page?again")).toString());
    EXPECT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/page?again"))));
    EXPECT_TRUE(form->session().connected());
    EXPECT_TRUE(lineUp("School"));
    form->DisconnectButtonClick();
}

TEST_F(ConnectTest, ClosingAsksFirstWhenTheGroupSaysSoAndNoLeavesTheLineUp) {
    group().write_bool("", "bDisconnectOnClose", false);
    group().write_bool("", "bGroupAllowClose", true);
    {
        auto form = start();
        form->ConnectButton->click();
        ASSERT_TRUE(form->session().connected());
        prompter.answers.push_back(false);
        form->close();
    }
    EXPECT_THAT(prompter.shown, Contains("You are still connected to dial-up, disconnect now?"));
    EXPECT_TRUE(lineUp("School"));

    group().write_bool("", "bDisconnectOnClose", true);
    ASSERT_TRUE(rasDialOrHangUp(false, {"School", "", ""}, TARN_RAS_SIMULATOR, [](auto&) {}).ok);
    {
        auto form = start();
        form->ConnectButton->click();
        ASSERT_TRUE(form->session().connected());
        form->close();
    }
    EXPECT_FALSE(lineUp("School"));
}

TEST_F(ConnectTest, AGroupThatDialsAtStartDialsAfterTheFirstRun) {
    setValue(kConfigKey, "sInstalledVersion", "");  // a first run after all
    group().write_int("", "iStartDialParam", 1);
    test::ModalAnswer<TWizardForm> wizard(
        [](TWizardForm& dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CancelButton")),
                              Qt::LeftButton);
        },
        15000);
    auto form = start();
    EXPECT_TRUE(waitUntil([&] { return form->session().connected(); }));
    EXPECT_TRUE(wizard.answered());
    EXPECT_TRUE(lineUp("School"));
    form->DisconnectButtonClick();
}

// The online-service client: a program of its own on an X server of the test's, started,
// signed on and closed again from the toolbar.
class OnlineServiceClientTest : public ConnectTest {
  protected:
    void SetUp() override {
        ConnectTest::SetUp();
        ASSERT_FALSE(xvfb.name().empty()) << "Xvfb could not be started";
        // The window's X connection for the client is made at its first sign-on.
        if (const char* display = std::getenv("DISPLAY"))
            previousDisplay = display;
        setenv("DISPLAY", xvfb.name().c_str(), 1);
        keys = (root / "keys").string();
        group().write_bool("", "bGroupRASFlag", false);
        group().write_bool("", "bGroupAOLFlag", true);
        group().write_string("", "sAOLprogram", "waol");
        group().write_string("", "sAOLUserName", "kid");
        group().write_string("", "sAOLPassword", scramblePassword("Pass1"));
        // The launcher stands for the desktop's: the client starts on the test's display.
        launcher.onCommandLine = [this](const std::string& line) {
            QStringList arguments{QStringLiteral("--keys"), QString::fromStdString(keys)};
            arguments +=
                QString::fromStdString(line).split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(1);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("DISPLAY"), QString::fromStdString(xvfb.name()));
            client.setProcessEnvironment(environment);
            client.start(QStringLiteral(TARN_FAKE_CLIENT), arguments);
            return client.waitForStarted();
        };
    }
    void TearDown() override {
        client.kill();
        client.waitForFinished();
        if (previousDisplay)
            setenv("DISPLAY", previousDisplay->c_str(), 1);
        else
            unsetenv("DISPLAY");
        ConnectTest::TearDown();
    }

    std::vector<std::string> received() const { return readLines(keys); }

    XvfbDisplay xvfb;
    std::optional<std::string> previousDisplay;
    std::string keys;
    QProcess client;
};

TEST_F(OnlineServiceClientTest, TheClientIsSignedOnAndOffFromTheToolbar) {
    auto form = start();
    ASSERT_TRUE(onToolbar(*form, form->ConnectButton));
    form->ConnectButton->click();
    ASSERT_TRUE(form->session().connected()) << (prompter.shown.empty() ? "" : prompter.shown[0]);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(form->StatusPanel->text(),
              QStringLiteral("AOL Dial: Complete! internet navigation enabled.."));
    EXPECT_TRUE(form->DisconnectButton->isEnabled());
    EXPECT_THAT(received(), ElementsAre("Tab", "Shift_L", "P", "a", "s", "s", "1", "Return"));
    // Minimised: with no window manager on the test's display, out of sight.
    X11WindowDriver look(xvfb.name());
    const ForeignWindow main = look.findWindowByClass("AOL Frame25");
    ASSERT_NE(main, 0u);
    Display* display = XOpenDisplay(xvfb.name().c_str());
    ASSERT_NE(display, nullptr);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display, main, &attributes));
    EXPECT_EQ(attributes.map_state, IsUnmapped);
    XCloseDisplay(display);

    form->DisconnectButton->click();
    EXPECT_FALSE(form->session().connected());
    EXPECT_TRUE(waitUntil([&] { return client.state() == QProcess::NotRunning; }))
        << "the client did not close";
    EXPECT_THAT(received(), ElementsAre("Tab", "Shift_L", "P", "a", "s", "s", "1", "Return",
                                        "Alt_L", "f", "x"));
    EXPECT_TRUE(form->ConnectButton->isEnabled());
    const std::string text = log();
    for (const char* record : {"Starting AOL Dialup Connection process",
                               "Dialup Connection Successful", "Dialup disconnection successful"})
        EXPECT_THAT(text, HasSubstr(record));
}

// What is looked for comes from the tuning values an administrator may add: the sign-on from the
// administrative area's Admin\Groups\Config, the sign-off from the user's own Config.
TEST_F(OnlineServiceClientTest, TheTuningValuesChangeWhatIsLookedFor) {
    SettingsStore tuning(kGroupsKey);
    tuning.write_string("Config", "sAOLClass", "KidsClient");
    tuning.write_string("Config", "sAOLSignon", "SignOn");
    tuning.write_string("Config", "sAOLConnected", "Welcome, kid");
    SettingsStore(kTarnviewRoot).write_string("Config", "sAOLClass", "KidsClient");
    // A client whose sign-on is a dialog of its main window, as toolkits make them.
    group().write_string("", "sAOLprogram", "waol --class KidsClient --signon SignOn --dialog");
    group().write_int("", "iAOLconnected", 1);
    auto form = start();
    // Should the values be passed over, the waits end here rather than never.
    QTimer::singleShot(20000, form.get(), [&] { form->CancelButton->click(); });
    form->ConnectButton->click();
    ASSERT_TRUE(form->session().connected())
        << (prompter.shown.empty() ? "" : prompter.shown.back());
    form->DisconnectButton->click();
    EXPECT_FALSE(form->session().connected());
    EXPECT_TRUE(waitUntil([&] { return client.state() == QProcess::NotRunning; }));
    EXPECT_THAT(received(), ElementsAre("Tab", "Shift_L", "P", "a", "s", "s", "1", "Return",
                                        "Alt_L", "f", "x"));
}

TEST_F(OnlineServiceClientTest, TheClientsErrorWindowResetsTheButtonsAndIsRecorded) {
    group().write_string("", "sAOLprogram", "waol --connect-error");
    auto form = start();
    form->ConnectButton->click();
    EXPECT_FALSE(form->session().connected());
    EXPECT_TRUE(form->ConnectButton->isEnabled());
    EXPECT_FALSE(form->DisconnectButton->isEnabled());
    EXPECT_FALSE(form->CancelButton->isEnabled());
    EXPECT_TRUE(received().empty());
    EXPECT_THAT(log(), HasSubstr("Dialup Connection Failed (busy or error)"));
    EXPECT_THAT(log(), Not(HasSubstr("Dialup Connection failed or cancelled")));
}

TEST_F(OnlineServiceClientTest, CancelEndsTheWaitForAClientThatNeverShowsItsSignOn) {
    group().write_string("", "sAOLprogram", "waol --signon Hello");
    auto form = start();
    QTimer::singleShot(1500, form.get(), [&] { form->CancelButton->click(); });
    form->ConnectButton->click();
    EXPECT_FALSE(form->session().connected());
    EXPECT_THAT(prompter.shown,
                ElementsAre("Error: cancelled or timed-out waiting for signon screen"));
    EXPECT_TRUE(received().empty());
    EXPECT_FALSE(form->CancelButton->isEnabled());
}

TEST_F(OnlineServiceClientTest, AClientGoneBeforeSignOffIsTypedNothing) {
    group().write_int("", "iAOLconnected", 2);
    auto form = start();
    form->ConnectButton->click();
    ASSERT_TRUE(form->session().connected());
    // Left alone: still on screen.
    X11WindowDriver look(xvfb.name());
    EXPECT_NE(look.findWindowByClass("AOL Frame25"), 0u);
    client.kill();
    client.waitForFinished();
    const size_t typed = received().size();
    form->DisconnectButton->click();
    EXPECT_FALSE(form->session().connected());
    EXPECT_EQ(received().size(), typed);
}

TEST_F(ConnectTest, ASignOnIntoAGroupWithoutDialUpKeepsNoConnectButtonOfTheLastOne) {
    SettingsStore admin(kAdminKey);
    admin.write_bool("", "bUseLogon", true);
    admin.write_bool("", "bUseGroups", true);
    writeUserRecord("Default Group", "ann", {"Default Group", false, ""});
    writeUserRecord("Kids", "bob", {"Kids", false, ""});
    LogonTyper ann({{QStringLiteral("ann"), QString()}});
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "ann"; }));
    ASSERT_TRUE(waitForLists(*form));
    EXPECT_TRUE(onToolbar(*form, form->ConnectButton));

    LogonTyper bob({{QStringLiteral("bob"), QString()}});
    QTimer::singleShot(0, form.get(), [&] { form->SignonButtonClick(); });
    ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "bob"; }));
    ASSERT_TRUE(waitForLists(*form));
    EXPECT_EQ(form->session().dialMode(), 0);
    EXPECT_FALSE(onToolbar(*form, form->ConnectButton));
    EXPECT_FALSE(onToolbar(*form, form->DisconnectButton));
}

}  // namespace
}  // namespace tarn::test
