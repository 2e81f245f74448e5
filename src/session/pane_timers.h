#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "settings/config_values.h"

namespace tarn {

// A pane's refresh and cycle settings as read at sign-on: the rates, whether each counts in
// minutes (true) or seconds, and whether each starts with the start page (where allowed).
struct PaneTimerSettings {
    int refreshRate = config::iWebRefreshRate.fallback;
    bool refreshMins = config::bWebRefreshMins.fallback;  // false: seconds
    int cycleRate = config::iWebCycleRate.fallback;
    bool cycleMins = config::bWebCycleMins.fallback;
    bool refreshAtStart = false;  // bWeb<n>RefreshAtStart and bWeb<n>OkToAutoRefresh
    bool cycleAtStart = false;    // bWeb<n>CycleAtStart and bWeb<n>OkToCycle

    bool operator==(const PaneTimerSettings&) const = default;
};

// The counters of one pane; all zero until a command starts something.
struct PaneTimerState {
    int RefreshInterval = 0;  // 0: auto-refresh off
    int RefreshElapsed = 0;
    int CycleInterval = 0;  // 0: cycling off
    int CycleElapsed = 0;
    int CycleIndex = 0;  // the next entry of the pane's cycle list
};

// Which of the tool menu's refresh and cycle entries are enabled.
struct PopupState {
    bool startRefresh = false;
    bool stopRefresh = false;
    bool startCycle = false;
    bool stopCycle = false;

    bool operator==(const PopupState&) const = default;
};

struct DueAction {
    enum class Kind { Refresh, Cycle };
    Kind kind;
    int pane;

    bool operator==(const DueAction&) const = default;
};

// Auto-refresh and URL cycling of the four panes, counted by the one-second tick. Panes are
// numbered 1 to 4; another number throws std::out_of_range.
class PaneTimers {
  public:
    // The units the counting follows; the running intervals keep the rates they started with.
    void setSettings(const std::array<PaneTimerSettings, 4>& settings) { settings_ = settings; }

    // A rate below 1 leaves the pane idle with its Start entry enabled.
    void startRefresh(int pane, int rate);
    void stopRefresh(int pane);
    // The first step comes at the next tick, at the entry the index holds.
    void startCycle(int pane, int rate);
    void stopCycle(int pane);

    PopupState menuState(int pane, bool okToRefresh, bool okToCycle) const;

    // One unit for every running refresh and cycle counted in seconds, or in minutes.
    void countSeconds() { count(false); }
    void countMinute() { count(true); }

    // The first due action (refresh of pane 1 to 4, then cycle of pane 1 to 4) with its count
    // reset; the others stay due for later ticks.
    std::optional<DueAction> takeDue();

    // The address a cycle step of the pane goes to, moving the index on: the entry at the index,
    // else entry 0 again; nothing when entry 0 is empty too. `readEntry` gives "" for an index
    // past the end of the list.
    std::optional<std::string> cycleStep(int pane,
                                         const std::function<std::string(int index)>& readEntry);

    const PaneTimerState& state(int pane) const { return panes_.at(slot(pane)); }

  private:
    static size_t slot(int pane) { return static_cast<size_t>(pane - 1); }
    PaneTimerState& at(int pane) { return panes_.at(slot(pane)); }
    void count(bool minutes);

    std::array<PaneTimerSettings, 4> settings_{};
    std::array<PaneTimerState, 4> panes_{};
};

// The seconds and minutes of the tick, in local time. Nothing is seen before the first tick, so
// the first tick always starts a new second and a new minute.
class TickClock {
  public:
    // True when the second differs from the previous tick's; remembers it.
    bool newSecond(Clock::TimePoint now);
    // True when the minute differs from the one last taken; remembers it. Ticks that skip the
    // minute step do not call this, so the change waits for the next tick that runs it.
    bool newMinute(Clock::TimePoint now);

  private:
    std::optional<int> second_;
    std::optional<int> minute_;
};

// Entry `index` ("sUrl<index>") of <configKey>\Web<pane>Cycle in the current user's hive; ""
// when missing.
std::string readCycleEntry(std::string_view configKey, int pane, int index);

// bWeb<pane>OkToAutoRefresh and bWeb<pane>OkToCycle of <configKey>\Config; false when absent.
bool readOkToAutoRefresh(std::string_view configKey, int pane);
bool readOkToCycle(std::string_view configKey, int pane);

}  // namespace tarn
