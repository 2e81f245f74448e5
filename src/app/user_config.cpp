#include "app/user_config.h"

#include <algorithm>

#include "platform/paths.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"

namespace tarn {
namespace {

constexpr char kConfig[] = "Config";
constexpr char kGlobalHistory[] = "GlobalURLHistory";
constexpr int kMaxHistoryIndex = 100;
constexpr char kDefaultFavDir[] = "c:\\tarnview";

std::string paneName(const char* prefix, int pane, const char* suffix) {
    return prefix + std::to_string(pane) + suffix;
}

std::string paneHistory(int pane) {
    return paneName("Web", pane, "URLHistory");
}

std::string historyValue(int index) {
    return "sHistory" + std::to_string(index);
}

// A value that only counts when it is there and a number.
std::optional<int> readPresentInt(const SettingsStore& store, std::string_view name) {
    return parseStoredInt(store.read_string(kConfig, name, ""));
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
    WindowConfig c;
    c.iPositionLeft = store.read_int(kConfig, "iPosition Left", c.iPositionLeft);
    c.iPositionTop = store.read_int(kConfig, "iPosition Top", c.iPositionTop);
    c.iPositionWidth = readPresentInt(store, "iPosition Width");
    c.iPositionHeight = readPresentInt(store, "iPosition Height");
    c.iNumberOfPanes = std::clamp(store.read_int(kConfig, "iNumberOfPanes", 1), 1, 4);
    c.iAppSplitPos = store.read_int(kConfig, "iAppSplitPos", c.iAppSplitPos);
    c.iMainSplitPos = store.read_int(kConfig, "iMainSplitPos", c.iMainSplitPos);
    c.iLeftSplitPos = store.read_int(kConfig, "iLeftSplitPos", c.iLeftSplitPos);
    c.iRightSplitPos = store.read_int(kConfig, "iRightSplitPos", c.iRightSplitPos);
    c.iTileFormat = store.read_int(kConfig, "iTileFormat", c.iTileFormat);
    c.bShowFavorites = store.read_bool(kConfig, "bShowFavorites", c.bShowFavorites);
    c.bShowButtonBar = store.read_bool(kConfig, "bShowButtonBar", c.bShowButtonBar);
    c.bShowStatusBar = store.read_bool(kConfig, "bShowStatusBar", c.bShowStatusBar);
    c.iUrlHistory = store.read_int(kConfig, "iUrlHistory", c.iUrlHistory);
    c.iMaxHistoryEntries = store.read_int(kConfig, "iMaxHistoryEntries", c.iMaxHistoryEntries);
    for (int pane = 1; pane <= 4; ++pane) {
        const size_t i = static_cast<size_t>(pane - 1);
        c.iWebRefreshRate[i] =
            store.read_int(kConfig, paneName("iWeb", pane, "RefreshRate"), c.iWebRefreshRate[i]);
        c.bWebRefreshMins[i] =
            store.read_bool(kConfig, paneName("bWeb", pane, "RefreshMins"), c.bWebRefreshMins[i]);
        c.iWebCycleRate[i] =
            store.read_int(kConfig, paneName("iWeb", pane, "CycleRate"), c.iWebCycleRate[i]);
        c.bWebCycleMins[i] =
            store.read_bool(kConfig, paneName("bWeb", pane, "CycleMins"), c.bWebCycleMins[i]);
        c.sPaneUrl[i] = store.read_string(kConfig, paneName("sPane", pane, "Url"), "");
    }
    return c;
}

void writeWindowState(std::string_view configKey, const WindowState& state,
                      std::string_view today) {
    SettingsStore store(configKey);
    store.in_transaction([&] {
        store.write_int(kConfig, "iPosition Left", state.iPositionLeft);
        store.write_int(kConfig, "iPosition Top", state.iPositionTop);
        store.write_int(kConfig, "iPosition Width", state.iPositionWidth);
        store.write_int(kConfig, "iPosition Height", state.iPositionHeight);
        store.write_string(kConfig, "sLastRunDate", today);
        if (state.iTileFormat) {
            store.write_int(kConfig, "iTileFormat", *state.iTileFormat);
        }
        store.write_int(kConfig, "iAppSplitPos", state.iAppSplitPos);
        store.write_int(kConfig, "iMainSplitPos", state.iMainSplitPos);
        store.write_int(kConfig, "iLeftSplitPos", state.iLeftSplitPos);
        store.write_int(kConfig, "iRightSplitPos", state.iRightSplitPos);
        store.write_bool(kConfig, "bShowFavorites", state.bShowFavorites);
        store.write_bool(kConfig, "bShowButtonBar", state.bShowButtonBar);
        store.write_bool(kConfig, "bShowStatusBar", state.bShowStatusBar);
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
    SettingsStore(configKey).write_bool(kConfig, "bUserActive", active);
}

bool readUserActive(std::string_view configKey) {
    return SettingsStore(configKey).read_bool(kConfig, "bUserActive", true);
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
