#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/pane_timers.h"
#include "settings/config_values.h"
#include "settings/group_record.h"

namespace tarn {

// The key below the settings root that holds a person's configuration, histories and toolbar
// positions: per user for iUserConfigType 0, one for the whole group for 1. Any other type gives
// nothing, and the caller keeps the key it had.
std::optional<std::string> configKeyFor(std::string_view group, std::string_view user,
                                        int iUserConfigType);

// The configuration values the main window applies when a user's settings are loaded.
struct WindowConfig {
    int iPositionLeft = config::iPositionLeft.fallback;
    int iPositionTop = config::iPositionTop.fallback;
    std::optional<int> iPositionWidth;  // absent or -1: the window keeps its designed size
    std::optional<int> iPositionHeight;
    int iNumberOfPanes = config::iNumberOfPanes.fallback;  // brought into 1 to 4
    int iAppSplitPos = config::iAppSplitPos.fallback;
    int iMainSplitPos = config::iMainSplitPos.fallback;  // 0 keeps the designed position
    int iLeftSplitPos = config::iLeftSplitPos.fallback;
    int iRightSplitPos = config::iRightSplitPos.fallback;
    int iTileFormat = config::iTileFormat.fallback;  // other values than 0 to 2 select none
    bool bShowFavorites = config::bShowFavorites.fallback;
    bool bShowButtonBar = config::bShowButtonBar.fallback;
    bool bShowStatusBar = config::bShowStatusBar.fallback;
    int iUrlHistory = config::iUrlHistory.fallback;
    int iMaxHistoryEntries = config::iMaxHistoryEntries.fallback;
    std::array<PaneTimerSettings, 4> panes{};  // the refresh and cycle rates of panes 1 to 4
    std::array<std::string, 4> sPaneUrl;       // sPane1Url .. sPane4Url

    bool operator==(const WindowConfig&) const = default;
};

// Reads <configKey>\Config of the current user, creating the key when missing.
WindowConfig readWindowConfig(std::string_view configKey);

// What a spawned copy takes from the configuration: the View marks only. Its rates and history
// size are 0, so it neither refreshes, cycles nor keeps a history; nothing else is read.
WindowConfig spawnedCopyConfig(std::string_view configKey);

// What the main window saves of itself when a user's use ends.
struct WindowState {
    int iPositionLeft{}, iPositionTop{}, iPositionWidth{}, iPositionHeight{};
    std::optional<int> iTileFormat;  // nothing when no tile format is checked
    int iAppSplitPos{}, iMainSplitPos{}, iLeftSplitPos{}, iRightSplitPos{};
    bool bShowFavorites{}, bShowButtonBar{}, bShowStatusBar{};

    bool operator==(const WindowState&) const = default;
};

// Writes the state and sLastRunDate = today into <configKey>\Config in one transaction.
void writeWindowState(std::string_view configKey, const WindowState& state, std::string_view today);

// Remember All: the pane count, and the address of each pane that shows one (a pane without
// keeps its stored start address).
void writeRememberedPanes(std::string_view configKey, int paneCount,
                          const std::array<std::string, 4>& addresses);

// The saved item lists of the four address boxes, pane 1 first: with iUrlHistory 1 the global
// history in every box, with 2 each pane's own, otherwise none. A list ends at its first empty or
// missing entry and holds at most 101 entries.
std::vector<std::vector<std::string>> readHistories(std::string_view configKey, int iUrlHistory);

// Replaces the saved histories by the address boxes' items: with 0 the global history is erased,
// with 1 it is rewritten from pane 1's box, with 2 the per-pane histories are rewritten from
// each box (and the global one erased). All in one transaction, so no half history is left.
void writeHistories(std::string_view configKey, int iUrlHistory,
                    const std::array<std::vector<std::string>, 4>& boxes);

// bUserActive in <configKey>\Config: spawned copies of the user close when it turns false.
void writeUserActive(std::string_view configKey, bool active);
bool readUserActive(std::string_view configKey);

// The folder for a user's favourites: as written in the settings ("c:\tarnview\Group\User\")
// and where that is on this machine.
struct UserFolder {
    std::string text;
    std::filesystem::path path;
};

// The group's sGroupFavDir (empty or absent: "c:\tarnview") followed by the group and user, or
// the group alone, as the group's iUserConfigType says. The folder is created with its parents;
// throws std::filesystem::filesystem_error when it cannot be.
UserFolder userFolder(const GroupRecord& policy, std::string_view group, std::string_view user);

}  // namespace tarn
