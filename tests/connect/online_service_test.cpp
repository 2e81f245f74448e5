// The online-service sign-on and sign-off, step by step, over a scripted client: what is
// typed, what is said and how each wait ends. The same steps against a real X server and a
// client program are in tests/app.
#include "connect/online_service.h"

#include <gmock/gmock.h>

#include <functional>
#include <map>

#include "connect/key_script.h"
#include "recording_launcher.h"

namespace tarn::test {
namespace {

using ::testing::ElementsAre;

// A client whose windows appear as the test's script says, once so many waits have passed.
class ScriptedWindows : public WindowDriver {
  public:
    std::string unavailable() const override { return why; }
    ForeignWindow findWindowByClass(const std::string& windowClass) override {
        return alive && windowClass == className && waits >= mainAfter ? kMain : 0;
    }
    std::vector<ForeignWindow> children(ForeignWindow window) override {
        if (!alive)
            return {};
        if (window == kMain)
            return waits >= containerAfter ? std::vector<ForeignWindow>{kContainer}
                                           : std::vector<ForeignWindow>{};
        if (window == kContainer && waits >= frontAfter)
            return {kFront, kNews};
        return {};
    }
    std::string caption(ForeignWindow window) override {
        if (window == kFront)
            return frontCaption;
        return window == kNews ? "Top News" : "";
    }
    bool exists(ForeignWindow window) override {
        return alive && window != 0 && (goneAfter < 0 || waits < goneAfter);
    }
    bool focused(ForeignWindow window) override {
        return alive && window == kMain && focusable && active;
    }
    void show(ForeignWindow) override { calls.push_back("show"); }
    void hide(ForeignWindow) override { calls.push_back("hide"); }
    void minimise(ForeignWindow) override { calls.push_back("minimise"); }
    void activate(ForeignWindow) override {
        calls.push_back("activate");
        active = true;
    }
    std::string sendKeys(const std::string& codes) override {
        typed.push_back(codes);
        if (!refuseAfterTab.empty() && codes != "\t")
            return refuseAfterTab;
        ++delivered;
        if (onKeys)
            onKeys(codes);
        return {};
    }

    static constexpr ForeignWindow kMain = 10, kContainer = 11, kFront = 12, kNews = 13;
    std::string why;
    std::string className = "AOL Frame25";
    bool alive = true;
    bool focusable = true;
    bool active = false;
    int mainAfter = 2, containerAfter = 3, frontAfter = 4;
    int waits = 0;
    int goneAfter = -1;
    std::string frontCaption = "Welcome";
    std::string refuseAfterTab;  // what refuses every script but the first Tab
    int delivered = 0;
    std::function<void(const std::string&)> onKeys;
    std::vector<std::string> calls;
    std::vector<std::string> typed;
};

class RecordingHost : public OnlineServiceHost {
  public:
    explicit RecordingHost(ScriptedWindows& windows) : windows_(windows) {}
    void status(const std::string& text) override { statuses.push_back(text); }
    void message(const std::string& text) override { messages.push_back(text); }
    void log(const std::string& event) override { logged.push_back(event); }
    void wait(int milliseconds) override {
        ++windows_.waits;
        waited.push_back(milliseconds);
        if (cancelAfter >= 0 && windows_.waits >= cancelAfter)
            cancel = true;
        if (windows_.waits > 10000)
            cancel = true;  // a wait that never ends fails the test instead of hanging it
    }
    bool cancelled() const override { return cancel; }
    void activateOwnWindow() override { windows_.calls.push_back("own window"); }

    std::vector<std::string> statuses, messages, logged;
    std::vector<int> waited;
    int cancelAfter = -1;
    bool cancel = false;

  private:
    ScriptedWindows& windows_;
};

// One sign-on's world: the client, the launcher, the window and the group's settings.
struct SignOnRun {
    SignOnRun() {
        settings.program = "waol --fast";
        settings.userName = "kid";
        settings.password = "Secret1";
        // The client shows "Welcome, kid" once the password and Enter reach it.
        windows.onKeys = [this](const std::string& codes) {
            if (codes.ends_with('\r'))
                windows.frontCaption = "Welcome, kid";
        };
    }

    ScriptedWindows windows;
    RecordingLauncher launcher;
    RecordingHost host{windows};
    OnlineServiceSettings settings;
    OnlineServiceAutomation automation{windows, launcher, host};
};

TEST(OnlineServiceTest, ASignOnTypesTheSignOnIntoTheClientAndLeavesItMinimised) {
    SignOnRun run;
    EXPECT_EQ(run.automation.signOn(run.settings), SignOnResult::Connected);
    EXPECT_THAT(run.launcher.commandLines, ElementsAre("waol --fast"));
    EXPECT_THAT(run.windows.typed, ElementsAre("\t", "Secret1\r"));
    EXPECT_THAT(run.windows.calls, ElementsAre("activate", "minimise", "own window"));
    EXPECT_THAT(
        run.host.statuses,
        ElementsAre("AOL Dial: loading AOL program", "AOL Dial: waiting for main screen",
                    "AOL Dial: waiting for signon screen", "AOL Dial: sending signon commands",
                    "AOL Dial: waiting for connection to process",
                    "AOL Dial: Complete! internet navigation enabled.."));
    EXPECT_THAT(run.host.logged, ElementsAre("Starting AOL Dialup Connection process"));
    EXPECT_TRUE(run.host.messages.empty());
    EXPECT_EQ(run.automation.clientWindow(), ScriptedWindows::kMain);
    // Every wait but the fixed pauses is a short poll, not a spin.
    for (const int wait : run.host.waited)
        EXPECT_THAT(wait, ::testing::AnyOf(0, kOnlineServicePollMs, 250, 500));
}

TEST(OnlineServiceTest, TheClientIsHiddenOrLeftAloneAsTheGroupSays) {
    for (const auto& [action, calls] : std::map<int, std::vector<std::string>>{
             {1, {"activate", "hide", "own window"}}, {2, {"activate", "own window"}}}) {
        SignOnRun run;
        run.settings.connectedAction = action;
        EXPECT_EQ(run.automation.signOn(run.settings), SignOnResult::Connected) << action;
        EXPECT_EQ(run.windows.calls, calls) << action;
    }
}

TEST(OnlineServiceTest, EachEarlyEndSaysWhyAndTypesNoPassword) {
    struct Case {
        const char* name;
        std::function<void(SignOnRun&)> arrange;
        SignOnResult result;
        const char* message;
    };
    const char* const missing =
        "Error: Not All parameters needed for America Online dialing have been entered..";
    const char* const noSignOn = "Error: cancelled or timed-out waiting for signon screen";
    const Case cases[] = {
        {"no password", [](SignOnRun& r) { r.settings.password.clear(); }, SignOnResult::Failed,
         missing},
        {"no user", [](SignOnRun& r) { r.settings.userName.clear(); }, SignOnResult::Failed,
         missing},
        {"no program", [](SignOnRun& r) { r.settings.program.clear(); }, SignOnResult::Failed,
         missing},
        {"no X display", [](SignOnRun& r) { r.windows.why = "Only on X11."; }, SignOnResult::Ended,
         "Only on X11."},
        {"not started", [](SignOnRun& r) { r.launcher.runs = false; }, SignOnResult::Failed,
         "Error invoking America Online, check settings"},
        {"cancelled waiting for the main window",
         [](SignOnRun& r) {
             r.windows.mainAfter = 1000;
             r.host.cancelAfter = 5;
         },
         SignOnResult::Ended, "Error: timed out waiting for main AOL screen"},
        {"cancelled waiting for the container",
         [](SignOnRun& r) {
             r.windows.containerAfter = 1000;
             r.host.cancelAfter = 5;
         },
         SignOnResult::Ended, noSignOn},
        // A caption that differs only in letter case is not the sign-on window.
        {"cancelled waiting for the sign-on window",
         [](SignOnRun& r) {
             r.windows.frontCaption = "WELCOME";
             r.host.cancelAfter = 8;
         },
         SignOnResult::Ended, noSignOn},
        {"the client gone before typing", [](SignOnRun& r) { r.windows.goneAfter = 5; },
         SignOnResult::Ended, "Error: unable to send signon commands"},
        {"the client never gets the focus", [](SignOnRun& r) { r.windows.focusable = false; },
         SignOnResult::Ended, "Error: unable to send signon commands"},
        {"a password that is no key script",
         [](SignOnRun& r) { r.settings.password = "open{sesame"; }, SignOnResult::Failed,
         "The online-service password can not be typed: a \"{\" in it must start a key name "
         "such as {TAB} and end with \"}\". Ask the administrator to change it in the group's "
         "settings."},
        {"a password the keyboard can not type",
         [](SignOnRun& r) { r.windows.refuseAfterTab = "The keyboard layout can not type \"ß\"."; },
         SignOnResult::Failed,
         "The online-service password holds a character this keyboard layout can not type, so "
         "nothing of it was typed. Ask the administrator to change it, or change the keyboard "
         "layout."},
    };
    for (const Case& c : cases) {
        SignOnRun run;
        c.arrange(run);
        EXPECT_EQ(run.automation.signOn(run.settings), c.result) << c.name;
        EXPECT_THAT(run.host.messages, ElementsAre(c.message)) << c.name;
        EXPECT_LE(run.windows.typed.size(), 2u) << c.name;
        if (!run.windows.typed.empty()) {
            EXPECT_EQ(run.windows.typed[0], "\t") << c.name;
        }
        EXPECT_EQ(run.windows.delivered, run.windows.typed.empty() ? 0 : 1) << c.name;
        EXPECT_EQ(run.automation.clientWindow(), 0u) << c.name;
        EXPECT_EQ(run.host.statuses.front(), "AOL Dial: loading AOL program") << c.name;
    }
}

TEST(OnlineServiceTest, TheClientsErrorWindowAndACancelledConnectionEndTheSignOn) {
    SignOnRun failing;
    failing.windows.frontCaption = "Connect Error";
    EXPECT_EQ(failing.automation.signOn(failing.settings), SignOnResult::ConnectError);
    EXPECT_TRUE(failing.windows.typed.empty());
    EXPECT_TRUE(failing.host.messages.empty());

    SignOnRun waiting;
    waiting.windows.onKeys = nullptr;  // the client never says it is connected
    waiting.host.cancelAfter = 20;
    EXPECT_EQ(waiting.automation.signOn(waiting.settings), SignOnResult::Failed);
    EXPECT_THAT(waiting.host.messages,
                ElementsAre("Error: cancelled or timed-out waiting for signon screen"));
    EXPECT_EQ(waiting.host.statuses.back(), "");
    EXPECT_EQ(waiting.automation.clientWindow(), 0u);
}

TEST(OnlineServiceTest, SignOffClosesTheClientThroughItsMenuOnlyWhenItHasTheFocus) {
    SignOnRun run;
    ASSERT_EQ(run.automation.signOn(run.settings), SignOnResult::Connected);
    run.windows.typed.clear();
    run.windows.calls.clear();
    run.windows.onKeys = [&run](const std::string& codes) {
        if (codes == "x")
            run.windows.alive = false;  // the client ends on its exit command
    };
    run.automation.signOff("AOL Frame25");
    EXPECT_THAT(run.windows.typed, ElementsAre(std::string("\xfe"
                                                           "f\xff"),
                                               "x"));
    EXPECT_THAT(run.windows.calls, ElementsAre("show", "activate"));
    EXPECT_EQ(run.host.statuses.back(), "AOL Dial: Disconnecting AOL now..");
    EXPECT_EQ(run.automation.clientWindow(), 0u);

    // Signed off, there is nothing to close.
    run.automation.signOff("AOL Frame25");
    EXPECT_EQ(run.windows.typed.size(), 2u);

    // A client gone, or one that can not get the focus, is typed nothing: the keys would reach
    // whatever window has the focus.
    for (const bool gone : {true, false}) {
        SignOnRun other;
        ASSERT_EQ(other.automation.signOn(other.settings), SignOnResult::Connected);
        other.windows.typed.clear();
        if (gone)
            other.windows.alive = false;
        else
            other.windows.focusable = false;
        other.windows.active = false;
        other.automation.signOff("AOL Frame25");
        EXPECT_TRUE(other.windows.typed.empty()) << gone;
        EXPECT_EQ(other.automation.clientWindow(), 0u) << gone;
    }
}

}  // namespace
}  // namespace tarn::test
