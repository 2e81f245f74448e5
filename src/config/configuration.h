#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// One pane's part of a person's configuration, as the configuration window edits it.
struct PaneConfiguration {
    std::string startUrl;
    bool okToRefresh{};
    int refreshRate{};
    bool refreshMins{};  // false: seconds
    bool refreshAtStart{};
    bool okToCycle{};
    int cycleRate{};
    bool cycleMins{};
    bool cycleAtStart{};
    std::vector<std::string> cycle;  // the addresses to cycle through, in order

    bool operator==(const PaneConfiguration&) const = default;
};

// A person's (or, with a group-wide configuration key, a group's) configuration: the values
// of <configKey>\Config and the cycle lists in <configKey>\Web<n>Cycle.
struct Configuration {
    int panes{};
    int maxHistoryEntries{};
    int urlHistory{};
    int newWindowAction{};  // stored as it is: the window shows other values than 0 to 3 as 0
    std::array<PaneConfiguration, 4> pane;

    bool operator==(const Configuration&) const = default;
};

// The most cycle entries read back; more may be stored.
inline constexpr int kCycleEntriesRead = 256;

// Reads the configuration below `configKey` in the current user's hive, creating the key when
// missing, with each value's default. A cycle list ends at its first missing or empty entry.
// Throws SettingsError when a value can not be read.
Configuration readConfiguration(std::string_view configKey);

// Writes every value and rewrites each pane's cycle list in one transaction: a failure leaves
// the stored configuration as it was. Throws SettingsError then.
void writeConfiguration(std::string_view configKey, const Configuration& configuration);

}  // namespace tarn
