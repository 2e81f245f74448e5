#include "session/user_config.h"

#include <algorithm>

#include "platform/paths.h"
#include "settings/config_values.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"

namespace tarn {
namespace {

constexpr char kGlobalHistory[] = "GlobalURLHistory";
constexpr int kMaxHistoryIndex = 100;
constexpr char kDefaultFavDir[] = "c:\\tarnview";

std::string paneHistory(int pane) {
    return "Web" + std::to_string(pane) + "URLHistory";
}

std::string historyValue(int index) {
    return "sHistory" + std::to_string(index);
}

std::vector<std::string> readHistory(const SettingsStore& store, std::string_view section) {
    std::vector<std::string> entries;
    for (int index = 0; index <= kMaxHistoryIndex; ++index) {
        std::string entry = store.read_string(section, historyValue(index), "");
        if (entry.empty()) {
            break;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

void writeHistory(SettingsStore& store, std::string_view section,
                  const std::vector<std::string>& entries) {
    for (size_t index = 0; index < entries.size(); ++index) {
        store.write_string(section, historyValue(static_cast<int>(index)), entries[index]);
    }
}

// The View menu's three check marks, which both kinds of instance take from the configuration.
void readViewMarks(const SettingsStore& store, WindowConfig& c) {
    c.bShowFavorites = readSetting(store, config::kSection, config::bShowFavorites);
    c.bShowButtonBar = readSetting(store, config::kSection, config::bShowButtonBar);
    c.bShowStatusBar = readSetting(store, config::kSection, config::bShowStatusBar);
}

}  // namespace

std::optional<std::string> configKeyFor(std::string_view group, std::string_view user,
                                        int iUserConfigType) {
    const std::string groupKey = std::string(kTarnviewRoot) + "\\" + std::string(group);
    switch (iUserConfigType) {
        case 0:
            return groupKey + "\\" + std::string(user);
        case 1:
            return groupKey;
        default:
            return std::nullopt;
    }
}

WindowConfig readWindowConfig(std::string_view configKey) {
    const SettingsStore store(configKey);
    const auto read = [&](const auto& value) {
        return readSetting(store, config::kSection, value);
    };
    const auto readPane = [&](const auto& value, int pane) {
        return readSetting(store, config::kSection, value, pane);
    };
    const auto size = [](int value) { return value == -1 ? std::nullopt : std::optional(value); };
    WindowConfig c;
    c.iPositionLeft = read(config::iPositionLeft);
    c.iPositionTop = read(config::iPositionTop);
    c.iPositionWidth = size(read(config::iPositionWidth));
    c.iPositionHeight = size(read(config::iPositionHeight));
    c.iNumberOfPanes = std::clamp(read(config::iNumberOfPanes), 1, 4);
    c.iAppSplitPos = read(config::iAppSplitPos);
    c.iMainSplitPos = read(config::iMainSplitPos);
    c.iLeftSplitPos = read(config::iLeftSplitPos);
    c.iRightSplitPos = read(config::iRightSplitPos);
    c.iTileFormat = read(config::iTileFormat);
    readViewMarks(store, c);
    c.iUrlHistory = read(config::iUrlHistory);
    c.iMaxHistoryEntries = read(config::iMaxHistoryEntries);
    for (int pane = 1; pane <= 4; ++pane) {
        const size_t i = static_cast<size_t>(pane - 1);
        c.panes[i] = {
            readPane(config::iWebRefreshRate, pane),
            readPane(config::bWebRefreshMins, pane),
            readPane(config::iWebCycleRate, pane),
            readPane(config::bWebCycleMins, pane),
            readPane(config::bWebRefreshAtStart, pane) &&
                readPane(config::bWebOkToAutoRefresh, pane),
            readPane(config::bWebCycleAtStart, pane) && readPane(config::bWebOkToCycle, pane)};
        c.sPaneUrl[i] = readPane(config::sPaneUrl, pane);
    }
    return c;
}

WindowConfig spawnedCopyConfig(std::string_view configKey) {
    WindowConfig c;
    readViewMarks(SettingsStore(configKey), c);
    c.iUrlHistory = 0;
    c.iMaxHistoryEntries = 0;
    c.panes.fill({0, true, 0, true});
    return c;
}

void writeWindowState(std::string_view configKey, const WindowState& state,
                      std::string_view today) {
    SettingsStore store(configKey);
    const auto write = [&](const auto& value, const auto& data) {
        writeSetting(store, config::kSection, value, data);
    };
    store.in_transaction([&] {
        write(config::iPositionLeft, state.iPositionLeft);
        write(config::iPositionTop, state.iPositionTop);
        write(config::iPositionWidth, state.iPositionWidth);
        write(config::iPositionHeight, state.iPositionHeight);
        write(config::sLastRunDate, today);
        if (state.iTileFormat) {
            write(config::iTileFormat, *state.iTileFormat);
        }
        write(config::iAppSplitPos, state.iAppSplitPos);
        write(config::iMainSplitPos, state.iMainSplitPos);
        write(config::iLeftSplitPos, state.iLeftSplitPos);
        write(config::iRightSplitPos, state.iRightSplitPos);
        write(config::bShowFavorites, state.bShowFavorites);
        write(config::bShowButtonBar, state.bShowButtonBar);
        write(config::bShowStatusBar, state.bShowStatusBar);
    });
}

void writeRememberedPanes(std::string_view configKey, int paneCount,
                          const std::array<std::string, 4>& addresses) {
    SettingsStore store(configKey);
    store.in_transaction([&] {
        writeSetting(store, config::kSection, config::iNumberOfPanes, paneCount);
        for (int pane = 1; pane <= 4; ++pane) {
            const std::string& address = addresses[static_cast<size_t>(pane - 1)];
            if (!address.empty()) {
                writeSetting(store, config::kSection, config::sPaneUrl, pane, address);
            }
        }
    });
}

std::vector<std::vector<std::string>> readHistories(std::string_view configKey, int iUrlHistory) {
    std::vector<std::vector<std::string>> boxes(4);
    SettingsStore store(configKey);
    if (iUrlHistory == 1) {
        std::fill(boxes.begin(), boxes.end(), readHistory(store, kGlobalHistory));
    } else if (iUrlHistory == 2) {
        for (int pane = 1; pane <= 4; ++pane) {
            boxes[static_cast<size_t>(pane - 1)] = readHistory(store, paneHistory(pane));
        }
    }
    return boxes;
}

void writeHistories(std::string_view configKey, int iUrlHistory,
                    const std::array<std::vector<std::string>, 4>& boxes) {
    if (iUrlHistory < 0 || iUrlHistory > 2) {
        return;
    }
    SettingsStore store(configKey);
    store.in_transaction([&] {
        store.erase_section(kGlobalHistory);
        if (iUrlHistory == 1) {
            writeHistory(store, kGlobalHistory, boxes[0]);
        } else if (iUrlHistory == 2) {
            for (int pane = 1; pane <= 4; ++pane) {
                store.erase_section(paneHistory(pane));
                writeHistory(store, paneHistory(pane), boxes[static_cast<size_t>(pane - 1)]);
            }
        }
    });
}

void writeUserActive(std::string_view configKey, bool active) {
    SettingsStore store(configKey);
    writeSetting(store, config::kSection, config::bUserActive, active);
}

bool readUserActive(std::string_view configKey) {
    return readSetting(SettingsStore(configKey), config::kSection, config::bUserActive);
}

UserFolder userFolder(const GroupRecord& policy, std::string_view group, std::string_view user) {
    std::string text = policy.sGroupFavDir.empty() ? kDefaultFavDir : policy.sGroupFavDir;
    // A folder given as a POSIX path continues with "/"; the layer maps only "\" paths.
    const char separator = text.front() == '/' ? '/' : '\\';
    if (text.back() != separator) {
        text += separator;
    }
    switch (policy.configChoice.iUserConfigType) {
        case 0:
            text += std::string(group) + separator + std::string(user) + separator;
            break;
        case 1:
            text += std::string(group) + separator;
            break;
        default:
            break;
    }
    std::filesystem::path path = mapPath(text);
    if (!path.has_filename()) {
        path = path.parent_path();
    }
    std::filesystem::create_directories(path);
    return {std::move(text), std::move(path)};
}

}  // namespace tarn
