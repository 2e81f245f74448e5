#include "config/configuration.h"

#include "settings/config_values.h"
#include "settings/setting.h"
#include "settings/settings_store.h"

namespace tarn {
Configuration readConfiguration(std::string_view configKey) {
    SettingsStore store(configKey);
    const auto read = [&](const auto& value) {
        return readSetting(store, config::kSection, value);
    };
    Configuration c;
    c.panes = read(config::iNumberOfPanes);
    c.maxHistoryEntries = read(config::iMaxHistoryEntries);
    c.urlHistory = read(config::iUrlHistory);
    c.newWindowAction = read(config::iNewWindowAction);
    for (int n = 1; n <= 4; ++n) {
        const auto paneValue = [&](const auto& value) {
            return readSetting(store, config::kSection, value, n);
        };
        PaneConfiguration& p = c.pane[n - 1];
        p.startUrl = paneValue(config::sPaneUrl);
        p.okToRefresh = paneValue(config::bWebOkToAutoRefresh);
        p.refreshRate = paneValue(config::iWebRefreshRate);
        p.refreshMins = paneValue(config::bWebRefreshMins);
        p.refreshAtStart = paneValue(config::bWebRefreshAtStart);
        p.okToCycle = paneValue(config::bWebOkToCycle);
        p.cycleRate = paneValue(config::iWebCycleRate);
        p.cycleMins = paneValue(config::bWebCycleMins);
        p.cycleAtStart = paneValue(config::bWebCycleAtStart);
        for (int i = 0; i < kCycleEntriesRead; ++i) {
            std::string entry =
                store.read_string(config::cycleSection(n), config::cycleEntry(i), "");
            if (entry.empty())
                break;
            p.cycle.push_back(std::move(entry));
        }
    }
    return c;
}

void writeConfiguration(std::string_view configKey, const Configuration& c) {
    SettingsStore store(configKey);
    store.in_transaction([&] {
        const auto write = [&](const auto& value, const auto& data) {
            writeSetting(store, config::kSection, value, data);
        };
        write(config::iNumberOfPanes, c.panes);
        for (int n = 1; n <= 4; ++n)
            writeSetting(store, config::kSection, config::sPaneUrl, n, c.pane[n - 1].startUrl);
        write(config::iUrlHistory, c.urlHistory);
        write(config::iMaxHistoryEntries, c.maxHistoryEntries);
        write(config::iNewWindowAction, c.newWindowAction);
        for (int n = 1; n <= 4; ++n) {
            const PaneConfiguration& p = c.pane[n - 1];
            const auto paneWrite = [&](const auto& value, const auto& data) {
                writeSetting(store, config::kSection, value, n, data);
            };
            paneWrite(config::iWebRefreshRate, p.refreshRate);
            paneWrite(config::bWebOkToAutoRefresh, p.okToRefresh);
            paneWrite(config::bWebRefreshMins, p.refreshMins);
            paneWrite(config::bWebRefreshAtStart, p.refreshAtStart);
            paneWrite(config::bWebOkToCycle, p.okToCycle);
            paneWrite(config::iWebCycleRate, p.cycleRate);
            paneWrite(config::bWebCycleMins, p.cycleMins);
            paneWrite(config::bWebCycleAtStart, p.cycleAtStart);
        }
        for (int n = 1; n <= 4; ++n) {
            store.erase_section(config::cycleSection(n));
            const std::vector<std::string>& cycle = c.pane[n - 1].cycle;
            for (size_t i = 0; i < cycle.size(); ++i)
                store.write_string(config::cycleSection(n), config::cycleEntry(static_cast<int>(i)),
                                   cycle[i]);
        }
    });
}

}  // namespace tarn
