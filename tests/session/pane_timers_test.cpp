#include "session/pane_timers.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "quiet_tick_steps.h"
#include "session/session.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

using Kind = DueAction::Kind;
using Taken = std::vector<std::pair<int, DueAction>>;  // second since the start, action

const std::string kKey = std::string(kTarnviewRoot) + "\\Staff\\ann";

// The session's one-second tick, run as the main window runs it, on a clock the test moves. It
// records what fell due and where cycle steps went; `duringStep`, when set, runs inside the
// tick's load-record step, so a test can send a second tick while the first is still busy.
class TickRig : public test::QuietTickSteps {
  public:
    TickRig() : session(StartArguments{}, clock, "file:///blank.htm") {
        clock.setLocal(2026, 3, 4, 12, 0, 30);
        session.switchTo(session.readUserSettings("ann", "Staff", ""));
    }

    // One timer event; what fell due, if anything.
    std::optional<DueAction> tick() {
        due.reset();
        session.tick(*this);
        return due;
    }

    // Ticks once a second for `seconds` seconds and lists what fell due.
    Taken run(int seconds) {
        Taken taken;
        for (int second = 1; second <= seconds; ++second) {
            clock.advance(std::chrono::seconds(1));
            if (auto action = tick()) {
                taken.emplace_back(second, *action);
            }
        }
        return taken;
    }

    // Makes the first pane's load record due at the next tick, which runs `duringStep`.
    void loadPaneOne() {
        LoadTiming& timing = session.loadTiming();
        timing.onBeforeNavigate(0);
        timing.onDownloadBegin(0);
        timing.onNavigateComplete(1);
        timing.onDownloadComplete(1);
    }

    PaneTimers& timers() { return session.paneTimers(); }

    void showStatus(const std::string& text) override {
        for (const auto& [words, kind] : {std::pair{": auto-refresh of Web", Kind::Refresh},
                                          std::pair{": auto-cycling of Web", Kind::Cycle}}) {
            const auto at = text.find(words);
            if (at != std::string::npos) {
                due = DueAction{kind, std::stoi(text.substr(at + std::string(words).size()))};
                visited.emplace_back(kind == Kind::Cycle ? "<none>" : "<refresh>");
            }
        }
    }
    std::string paneAddress(int) override {
        if (duringStep) {
            duringStep();
        }
        return {};
    }
    void refreshPane(int) override {}
    void navigatePane(int, const std::string& address) override { visited.back() = address; }

    ManualClock clock;
    Session session;
    std::optional<DueAction> due;
    std::vector<std::string> visited;
    std::function<void()> duringStep;
};

using TickTest = test::TempEnv;

PaneTimerSettings inSeconds(int rate) {
    return {rate, false, rate, false};
}

TEST_F(TickTest, MinuteRefreshRunsAtTheSecondBoundaryThenEveryTwo) {
    TickRig rig;  // 12:00:30, all units minutes
    rig.tick();
    rig.timers().startRefresh(1, 2);
    // 12:02:00, 12:04:00 and 12:06:00 are 90, 210 and 330 seconds on.
    EXPECT_EQ(
        rig.run(400),
        (Taken{{90, {Kind::Refresh, 1}}, {210, {Kind::Refresh, 1}}, {330, {Kind::Refresh, 1}}}));
}

TEST_F(TickTest, SecondRefreshesEveryIntervalAndTwoDuePanesTakeTurns) {
    TickRig rig;
    rig.timers().setSettings({inSeconds(5), inSeconds(5), {}, {}});
    rig.tick();
    rig.timers().startRefresh(1, 5);
    rig.timers().startRefresh(2, 5);
    EXPECT_EQ(rig.run(16), (Taken{{5, {Kind::Refresh, 1}},
                                  {6, {Kind::Refresh, 2}},
                                  {10, {Kind::Refresh, 1}},
                                  {11, {Kind::Refresh, 2}},
                                  {15, {Kind::Refresh, 1}},
                                  {16, {Kind::Refresh, 2}}}));
}

TEST_F(TickTest, RefreshesComeBeforeCycleStepsOnePerTick) {
    TickRig rig;
    rig.timers().setSettings({inSeconds(2), inSeconds(2), inSeconds(2), inSeconds(2)});
    rig.tick();
    rig.timers().startCycle(1, 2);
    rig.timers().startRefresh(4, 2);
    rig.timers().startRefresh(3, 2);
    // The started cycle steps at the next tick; from then on the refreshes go first.
    EXPECT_EQ(rig.run(4), (Taken{{1, {Kind::Cycle, 1}},
                                 {2, {Kind::Refresh, 3}},
                                 {3, {Kind::Refresh, 4}},
                                 {4, {Kind::Refresh, 3}}}));
}

TEST_F(TickTest, UnitsDecideWhichStepCounts) {
    TickRig rig;  // pane 1 counts seconds, pane 2 minutes
    rig.timers().setSettings({inSeconds(3), {}, {}, {}});
    rig.tick();
    rig.timers().startRefresh(1, 3);
    rig.timers().startRefresh(2, 1);
    Taken expected;
    for (int second = 3; second <= 33; second += 3) {
        expected.emplace_back(second, DueAction{Kind::Refresh, 1});
    }
    // 12:01:00 is 30 seconds on, where pane 1 is due too.
    expected.insert(expected.end() - 1, {31, DueAction{Kind::Refresh, 2}});
    EXPECT_EQ(rig.run(33), expected);
}

TEST_F(TickTest, ABusyMinuteIsCountedAtTheNextFreeTick) {
    TickRig rig;
    rig.clock.setLocal(2026, 3, 4, 12, 0, 58);
    rig.tick();
    rig.timers().startRefresh(1, 1);
    // The 12:01:00 tick arrives while the 12:00:59 one is still writing its load record: it
    // counts its second, but neither the minute nor a due step.
    rig.clock.setLocal(2026, 3, 4, 12, 0, 59);
    rig.loadPaneOne();
    std::optional<DueAction> inner = DueAction{Kind::Cycle, 4};
    rig.duringStep = [&] {
        rig.clock.setLocal(2026, 3, 4, 12, 1, 0);
        inner = rig.tick();
    };
    EXPECT_EQ(rig.tick(), std::nullopt);
    EXPECT_EQ(inner, std::nullopt);
    rig.clock.setLocal(2026, 3, 4, 12, 1, 1);
    EXPECT_EQ(rig.tick(), (DueAction{Kind::Refresh, 1}));
    rig.clock.setLocal(2026, 3, 4, 12, 1, 2);
    EXPECT_EQ(rig.tick(), std::nullopt);
}

TEST_F(TickTest, AStepThatFailsDoesNotLeaveTheTickBusy) {
    TickRig rig;
    rig.tick();
    rig.timers().startRefresh(1, 1);
    rig.loadPaneOne();
    rig.duringStep = [] { throw std::runtime_error("the log settings can not be read"); };
    rig.clock.advance(std::chrono::seconds(1));
    EXPECT_THROW(rig.tick(), std::runtime_error);
    rig.duringStep = nullptr;
    rig.clock.setLocal(2026, 3, 4, 12, 1, 0);
    EXPECT_EQ(rig.tick(), (DueAction{Kind::Refresh, 1}));
}

TEST(PaneTimersTest, TickClockSeesEachSecondAndMinuteOnce) {
    ManualClock clock;
    clock.setLocal(2026, 3, 4, 12, 0, 0);
    TickClock ticks;
    EXPECT_TRUE(ticks.newSecond(clock.now()));  // nothing was seen before the first tick
    EXPECT_TRUE(ticks.newMinute(clock.now()));
    clock.advance(std::chrono::milliseconds(900));
    EXPECT_FALSE(ticks.newSecond(clock.now()));
    clock.advance(std::chrono::milliseconds(100));
    EXPECT_TRUE(ticks.newSecond(clock.now()));
    EXPECT_FALSE(ticks.newMinute(clock.now()));
    clock.setLocal(2026, 3, 4, 12, 1, 1);
    EXPECT_TRUE(ticks.newMinute(clock.now()));
    EXPECT_FALSE(ticks.newMinute(clock.now()));
}

TEST_F(TickTest, RateBelowOneLeavesThePaneIdle) {
    for (const int rate : {0, -3}) {
        TickRig rig;
        rig.timers().setSettings({inSeconds(1), {}, {}, {}});
        rig.tick();
        rig.timers().startRefresh(1, rate);
        rig.timers().startCycle(1, rate);
        rig.timers().startRefresh(2, rate);  // minutes
        EXPECT_EQ(rig.run(130), Taken{}) << rate;
        EXPECT_EQ(rig.timers().menuState(1, true, true), (PopupState{true, false, true, false}))
            << rate;
    }
}

TEST(PaneTimersTest, StopAndStartKeepTheirCounters) {
    PaneTimers timers;
    timers.setSettings({inSeconds(5), {}, {}, {}});
    timers.startRefresh(1, 5);
    timers.countSeconds();
    timers.countSeconds();
    // A restart keeps the count, a stop clears it.
    timers.startRefresh(1, 4);
    EXPECT_EQ(timers.state(1).RefreshInterval, 4);
    EXPECT_EQ(timers.state(1).RefreshElapsed, 2);
    timers.stopRefresh(1);
    EXPECT_EQ(timers.state(1).RefreshInterval, 0);
    EXPECT_EQ(timers.state(1).RefreshElapsed, 0);

    timers.startCycle(1, 7);
    EXPECT_EQ(timers.state(1).CycleElapsed, 7);
    EXPECT_EQ(timers.takeDue(), (DueAction{Kind::Cycle, 1}));
    EXPECT_EQ(timers.state(1).CycleElapsed, 0);
    EXPECT_EQ(timers.cycleStep(1, [](int) { return std::string("a"); }), "a");
    EXPECT_EQ(timers.state(1).CycleIndex, 1);
    timers.stopCycle(1);
    EXPECT_EQ(timers.state(1).CycleInterval, 0);
    EXPECT_EQ(timers.state(1).CycleIndex, 0);
    EXPECT_EQ(timers.state(1).CycleElapsed, 0);

    EXPECT_THROW(timers.startRefresh(5, 2), std::out_of_range);
    EXPECT_THROW(timers.stopCycle(0), std::out_of_range);
}

struct MenuCase {
    bool okToRefresh, okToCycle, refreshing, cycling;
    PopupState expected;
};

TEST(PaneTimersTest, MenuEntriesFollowPermissionAndRunningState) {
    const MenuCase cases[] = {
        {false, false, false, false, {false, false, false, false}},
        {false, false, true, true, {false, false, false, false}},
        {true, false, false, true, {true, false, false, false}},
        {true, false, true, false, {false, true, false, false}},
        {false, true, true, false, {false, false, true, false}},
        {false, true, false, true, {false, false, false, true}},
        {true, true, true, true, {false, true, false, true}},
    };
    for (const MenuCase& c : cases) {
        PaneTimers timers;
        if (c.refreshing) {
            timers.startRefresh(3, 2);
        }
        if (c.cycling) {
            timers.startCycle(3, 2);
        }
        EXPECT_EQ(timers.menuState(3, c.okToRefresh, c.okToCycle), c.expected)
            << c.okToRefresh << c.okToCycle << c.refreshing << c.cycling;
        EXPECT_EQ(timers.menuState(2, true, true), (PopupState{true, false, true, false}));
    }
}

class PaneTimersHiveTest : public test::TempEnv {
  protected:
    static void writeEntry(int pane, int index, std::string_view address) {
        SettingsStore(kKey).write_string("Web" + std::to_string(pane) + "Cycle",
                                         "sUrl" + std::to_string(index), address);
    }

    // Runs the rig's ticks; where each due cycle step went, "<none>" for a step that stayed.
    static std::vector<std::string> visits(TickRig& rig, int seconds) {
        rig.visited.clear();
        for (const auto& taken : rig.run(seconds)) {
            EXPECT_EQ(taken.second.kind, Kind::Cycle);
        }
        return rig.visited;
    }
};

TEST_F(PaneTimersHiveTest, CycleVisitsTheListInTurnAndRestartsFromTheTop) {
    for (int i = 0; i < 3; ++i) {
        writeEntry(1, i, "http://127.0.0.1/" + std::to_string(i));
    }
    writeEntry(1, 4, "http://127.0.0.1/after-a-gap");
    TickRig rig;
    rig.timers().setSettings({inSeconds(2), {}, {}, {}});
    rig.tick();
    rig.timers().startCycle(1, 2);
    // The first step comes at the next tick, then every two seconds.
    EXPECT_EQ(visits(rig, 9), (std::vector<std::string>{"http://127.0.0.1/0", "http://127.0.0.1/1",
                                                        "http://127.0.0.1/2", "http://127.0.0.1/0",
                                                        "http://127.0.0.1/1"}));

    // The list is read at every step.
    writeEntry(1, 2, "http://127.0.0.1/edited");
    EXPECT_EQ(visits(rig, 2), std::vector<std::string>{"http://127.0.0.1/edited"});

    // A paused cycle starts again from the top.
    rig.timers().stopCycle(1);
    rig.timers().startCycle(1, 2);
    EXPECT_EQ(visits(rig, 1), std::vector<std::string>{"http://127.0.0.1/0"});
}

TEST_F(PaneTimersHiveTest, EmptyFirstEntryNeverNavigates) {
    writeEntry(2, 0, "");
    writeEntry(2, 1, "http://127.0.0.1/unreachable");
    TickRig rig;
    rig.timers().setSettings({PaneTimerSettings{}, inSeconds(3), {}, {}});
    rig.tick();
    rig.timers().startCycle(2, 3);
    EXPECT_EQ(visits(rig, 7), (std::vector<std::string>{"<none>", "<none>", "<none>"}));
    EXPECT_EQ(rig.timers().state(2).CycleIndex, 0);

    // A pane without any list behaves the same.
    PaneTimers timers;
    EXPECT_EQ(timers.cycleStep(4, [](int index) { return readCycleEntry(kKey, 4, index); }),
              std::nullopt);
    EXPECT_EQ(timers.state(4).CycleIndex, 0);
}

TEST_F(PaneTimersHiveTest, PermissionsAreReadFromTheConfig) {
    SettingsStore store(kKey);
    store.write_bool("Config", "bWeb3OkToCycle", false);
    store.write_bool("Config", "bWeb3OkToAutoRefresh", true);
    store.write_bool("Config", "bWeb1OkToCycle", true);

    EXPECT_FALSE(readOkToCycle(kKey, 3));
    EXPECT_TRUE(readOkToAutoRefresh(kKey, 3));
    EXPECT_TRUE(readOkToCycle(kKey, 1));
    EXPECT_FALSE(readOkToAutoRefresh(kKey, 1));  // absent
    EXPECT_FALSE(readOkToCycle(kKey, 2));

    // Not permitted: both cycle entries are off, even while pane 3 cycles.
    PaneTimers timers;
    timers.startCycle(3, 2);
    const PopupState menu =
        timers.menuState(3, readOkToAutoRefresh(kKey, 3), readOkToCycle(kKey, 3));
    EXPECT_EQ(menu, (PopupState{true, false, false, false}));
}

}  // namespace
}  // namespace tarn
