#include "session/pane_timers.h"

#include <algorithm>
#include <ctime>

#include "settings/settings_store.h"

namespace tarn {
namespace {

std::tm localTime(Clock::TimePoint t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

// Remembers `value`; true when it differs from what was remembered before.
bool changed(std::optional<int>& seen, int value) {
    const bool differs = seen != value;
    seen = value;
    return differs;
}

// A count that has reached its interval stays there until the action is taken, so a waiting
// action can never run its count past the integer range.
void countUnit(int interval, int& elapsed) {
    if (interval > 0 && elapsed < interval) {
        ++elapsed;
    }
}

bool due(int interval, int elapsed) {
    return interval >= 1 && elapsed >= interval;
}

}  // namespace

void PaneTimers::startRefresh(int pane, int rate) {
    at(pane).RefreshInterval = std::max(rate, 0);
}

void PaneTimers::stopRefresh(int pane) {
    PaneTimerState& p = at(pane);
    p.RefreshInterval = 0;
    p.RefreshElapsed = 0;
}

void PaneTimers::startCycle(int pane, int rate) {
    PaneTimerState& p = at(pane);
    p.CycleInterval = std::max(rate, 0);
    p.CycleElapsed = p.CycleInterval;
}

void PaneTimers::stopCycle(int pane) {
    PaneTimerState& p = at(pane);
    p.CycleInterval = 0;
    p.CycleIndex = 0;
    p.CycleElapsed = 0;
}

PopupState PaneTimers::menuState(int pane, bool okToRefresh, bool okToCycle) const {
    const PaneTimerState& p = state(pane);
    PopupState menu;
    if (okToRefresh) {
        menu.startRefresh = p.RefreshInterval == 0;
        menu.stopRefresh = !menu.startRefresh;
    }
    if (okToCycle) {
        menu.startCycle = p.CycleInterval == 0;
        menu.stopCycle = !menu.startCycle;
    }
    return menu;
}

void PaneTimers::count(bool minutes) {
    for (size_t i = 0; i < panes_.size(); ++i) {
        if (settings_[i].refreshMins == minutes) {
            countUnit(panes_[i].RefreshInterval, panes_[i].RefreshElapsed);
        }
    }
    for (size_t i = 0; i < panes_.size(); ++i) {
        if (settings_[i].cycleMins == minutes) {
            countUnit(panes_[i].CycleInterval, panes_[i].CycleElapsed);
        }
    }
}

std::optional<DueAction> PaneTimers::takeDue() {
    for (int pane = 1; pane <= 4; ++pane) {
        PaneTimerState& p = at(pane);
        if (due(p.RefreshInterval, p.RefreshElapsed)) {
            p.RefreshElapsed = 0;
            return DueAction{DueAction::Kind::Refresh, pane};
        }
    }
    for (int pane = 1; pane <= 4; ++pane) {
        PaneTimerState& p = at(pane);
        if (due(p.CycleInterval, p.CycleElapsed)) {
            p.CycleElapsed = 0;
            return DueAction{DueAction::Kind::Cycle, pane};
        }
    }
    return std::nullopt;
}

std::optional<std::string> PaneTimers::cycleStep(
    int pane, const std::function<std::string(int index)>& readEntry) {
    PaneTimerState& p = at(pane);
    std::string entry = readEntry(p.CycleIndex);
    if (!entry.empty()) {
        ++p.CycleIndex;
        return entry;
    }
    p.CycleIndex = 0;
    entry = readEntry(0);
    if (entry.empty()) {
        return std::nullopt;
    }
    p.CycleIndex = 1;
    return entry;
}

bool TickClock::newSecond(Clock::TimePoint now) {
    return changed(second_, localTime(now).tm_sec);
}

bool TickClock::newMinute(Clock::TimePoint now) {
    return changed(minute_, localTime(now).tm_min);
}

std::string readCycleEntry(std::string_view configKey, int pane, int index) {
    const SettingsStore store(configKey);
    return store.read_string(config::cycleSection(pane), config::cycleEntry(index), "");
}

bool readOkToAutoRefresh(std::string_view configKey, int pane) {
    return readSetting(SettingsStore(configKey), config::kSection, config::bWebOkToAutoRefresh,
                       pane);
}

bool readOkToCycle(std::string_view configKey, int pane) {
    return readSetting(SettingsStore(configKey), config::kSection, config::bWebOkToCycle, pane);
}

}  // namespace tarn
