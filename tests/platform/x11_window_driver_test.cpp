// Another program's windows on a real X server (Xvfb): found by class, read, shown and hidden,
// and typed into through XTest with the keyboard layout's Shift.
#include "platform/x11_window_driver.h"

#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "temp_env.h"
#include "xvfb_display.h"

// After the test framework, whose names X's macros (None) would otherwise replace.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tarn::test {
namespace {

using ::testing::ElementsAre;

bool eventually(const std::function<bool()>& condition, int ms = 5000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class X11WindowDriverTest : public TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        ASSERT_FALSE(xvfb.name().empty()) << "Xvfb could not be started";
        keys = (root / "keys").string();
        look = XOpenDisplay(xvfb.name().c_str());
        ASSERT_NE(look, nullptr);
    }
    void TearDown() override {
        if (client > 0) {
            kill(client, SIGTERM);
            waitpid(client, nullptr, 0);
        }
        if (look)
            XCloseDisplay(look);
        TempEnv::TearDown();
    }

    void startClient(std::vector<std::string> extra = {}) {
        std::vector<std::string> words{TARN_FAKE_CLIENT, "--keys", keys};
        words.insert(words.end(), extra.begin(), extra.end());
        client = fork();
        if (client == 0) {
            setenv("DISPLAY", xvfb.name().c_str(), 1);
            std::vector<char*> argv;
            for (std::string& word : words)
                argv.push_back(word.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    std::vector<std::string> received() const { return readLines(keys); }
    int mapState(ForeignWindow window) const {
        XWindowAttributes attributes{};
        XSync(look, False);
        return XGetWindowAttributes(look, window, &attributes) ? attributes.map_state : -1;
    }
    ForeignWindow clientWindow() {
        ForeignWindow found = 0;
        EXPECT_TRUE(eventually([&] { return (found = driver.findWindowByClass("AOL Frame25")); }));
        return found;
    }

    XvfbDisplay xvfb;
    X11WindowDriver driver{xvfb.name()};
    Display* look = nullptr;
    std::string keys;
    pid_t client = -1;
};

TEST_F(X11WindowDriverTest, TheClientIsFoundByItsClassAndItsWindowsReadTopmostFirst) {
    EXPECT_EQ(driver.unavailable(), "");
    EXPECT_EQ(driver.findWindowByClass("AOL Frame25"), 0u);
    startClient();
    const ForeignWindow main = clientWindow();
    ASSERT_NE(main, 0u);
    EXPECT_EQ(driver.caption(main), "America Online");
    // Only the whole class, in its own letter case.
    EXPECT_EQ(driver.findWindowByClass("AOL Frame2"), 0u);
    EXPECT_EQ(driver.findWindowByClass("aol frame25"), 0u);
    EXPECT_EQ(driver.findWindowByClass("waol"), 0u);

    const std::vector<ForeignWindow> inside = driver.children(main);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(driver.caption(inside[0]), "MDIClient");
    std::vector<std::string> captions;
    for (const ForeignWindow window : driver.children(inside[0]))
        captions.push_back(driver.caption(window));
    EXPECT_THAT(captions, ElementsAre("Welcome", "Top News"));

    EXPECT_TRUE(driver.exists(main));
    kill(client, SIGKILL);
    waitpid(client, nullptr, 0);
    client = -1;
    EXPECT_TRUE(eventually([&] { return !driver.exists(main); }));
    EXPECT_EQ(driver.findWindowByClass("AOL Frame25"), 0u);
    EXPECT_EQ(driver.caption(main), "");
    EXPECT_TRUE(driver.children(main).empty());
}

TEST_F(X11WindowDriverTest, KeysReachTheActivatedClientWithTheLayoutsShift) {
    startClient();
    const ForeignWindow main = clientWindow();
    ASSERT_NE(main, 0u);
    EXPECT_FALSE(driver.focused(main));
    driver.activate(main);
    ASSERT_TRUE(eventually([&] { return driver.focused(main); }));

    // A capital is wrapped in Shift unless a Shift of the script is down; a code of 228 or
    // more is a function or movement key.
    // The codes of "aB{TAB}{SHIFT-DN}C{SHIFT-UP}", then 228 and {DEL}.
    EXPECT_EQ(driver.sendKeys("aB\t\xfa"
                              "C\xfb\xe4\xf9"),
              "");
    EXPECT_TRUE(eventually([&] { return received().size() >= 8; }));
    EXPECT_THAT(received(),
                ElementsAre("a", "Shift_L", "B", "Tab", "Shift_L", "C", "F1", "Delete"));
}

TEST_F(X11WindowDriverTest, AScriptTheLayoutCanNotTypeSendsNothing) {
    startClient();
    const ForeignWindow main = clientWindow();
    ASSERT_NE(main, 0u);
    driver.activate(main);
    ASSERT_TRUE(eventually([&] { return driver.focused(main); }));
    struct Case {
        std::string codes;
        const char* said;
    };
    for (const Case& c :
         {Case{"ab\xc8", "The keyboard layout can not type the character of code 200"},
          Case{"ab\x01", "The keyboard layout can not type the character of code 1"},
          Case{"ab\x7f", "The keyboard layout can not type the character of code 127"}}) {
        EXPECT_THAT(driver.sendKeys(c.codes), ::testing::StartsWith(c.said));
    }
    // A key that does reach it shows that the ones before would have been seen.
    EXPECT_EQ(driver.sendKeys("z"), "");
    EXPECT_TRUE(eventually([&] { return !received().empty(); }));
    EXPECT_THAT(received(), ElementsAre("z"));
}

TEST_F(X11WindowDriverTest, WithoutAWindowManagerMinimisingAndHidingTakeTheClientOutOfSight) {
    startClient();
    const ForeignWindow main = clientWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(eventually([&] { return mapState(main) == IsViewable; }));
    driver.minimise(main);
    EXPECT_TRUE(eventually([&] { return mapState(main) == IsUnmapped; }));
    driver.activate(main);
    EXPECT_TRUE(eventually([&] { return mapState(main) == IsViewable && driver.focused(main); }));
    driver.hide(main);
    EXPECT_TRUE(eventually([&] { return mapState(main) == IsUnmapped; }));
    EXPECT_FALSE(driver.focused(main));
    driver.show(main);
    EXPECT_TRUE(eventually([&] { return mapState(main) == IsViewable; }));
}

// Toolkits draw their windows' parts themselves and make dialogs top-level windows of their own.
TEST_F(X11WindowDriverTest, AProgramsDialogCountsAmongItsWindowsButIsNotItsMainWindow) {
    startClient({"--dialog"});
    const ForeignWindow main = clientWindow();
    ASSERT_NE(main, 0u);
    EXPECT_EQ(driver.caption(main), "America Online");
    const std::vector<ForeignWindow> inside = driver.children(main);
    ASSERT_EQ(inside.size(), 2u);
    EXPECT_EQ(driver.caption(inside[0]), "MDIClient");
    EXPECT_EQ(driver.caption(inside[1]), "Welcome");
    std::vector<std::string> captions;
    for (const ForeignWindow window : driver.children(inside[0]))
        captions.push_back(driver.caption(window));
    EXPECT_THAT(captions, ElementsAre("Top News", "Welcome"));
}

// With a window manager running (the test plays one), the client is shown, minimised and
// activated by asking it, as the desktop's own pagers do.
TEST_F(X11WindowDriverTest, AWindowManagerIsAskedToActivateAndMinimise) {
    startClient();
    const ForeignWindow main = clientWindow();
    ASSERT_NE(main, 0u);
    ASSERT_TRUE(eventually([&] { return mapState(main) == IsViewable; }));
    const Window rootWindow = DefaultRootWindow(look);
    const Window check = XCreateSimpleWindow(look, rootWindow, 0, 0, 1, 1, 0, 0, 0);
    const Atom supporting = XInternAtom(look, "_NET_SUPPORTING_WM_CHECK", False);
    XChangeProperty(look, rootWindow, supporting, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&check), 1);
    XSelectInput(look, rootWindow, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(look, False);

    driver.activate(main);
    driver.minimise(main);
    std::vector<std::pair<std::string, long>> asked;
    ASSERT_TRUE(eventually([&] {
        while (XPending(look)) {
            XEvent event;
            XNextEvent(look, &event);
            if (event.type == ClientMessage && event.xclient.window == main) {
                char* name = XGetAtomName(look, event.xclient.message_type);
                asked.emplace_back(name, event.xclient.data.l[0]);
                XFree(name);
            }
        }
        return asked.size() >= 2;
    }));
    // A pager's request to activate, then the ICCCM request to iconify.
    EXPECT_THAT(asked, ElementsAre(std::pair<std::string, long>{"_NET_ACTIVE_WINDOW", 2},
                                   std::pair<std::string, long>{"WM_CHANGE_STATE", IconicState}));
    // The window manager decides: nothing was unmapped behind its back.
    EXPECT_EQ(mapState(main), IsViewable);
}

TEST(X11WindowDriverWithoutADisplayTest, SaysWhyNothingCanBeDriven) {
    X11WindowDriver nowhere(":9999");
    EXPECT_EQ(nowhere.unavailable(),
              "The online-service client can only be driven on X11 or Xwayland, and the X display "
              "\":9999\" could not be opened.");
    EXPECT_EQ(nowhere.findWindowByClass("AOL Frame25"), 0u);
    EXPECT_NE(nowhere.sendKeys("a"), "");
}

}  // namespace
}  // namespace tarn::test
