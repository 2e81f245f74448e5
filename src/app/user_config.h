#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/group_record.h"

namespace tarn {

// The key below the settings root that holds a person's configuration, histories and toolbar
// positions: per user for iUserConfigType 0, one for the whole group for 1. Any other type gives
// nothing, and the caller keeps the key it had.
std::optional<std::string> configKeyFor(std::string_view group, std::string_view user,
                                        int iUserConfigType);

// The configuration values the main window applies when a user's settings are loaded, with the
// defaults it passes when reading them.
struct WindowConfig {
    int iPositionLeft = 100;
    int iPositionTop = 100;
    std::optional<int> iPositionWidth;  // absent: the window keeps its designed size
    std::optional<int> iPositionHeight;
    int iNumberOfPanes = 1;  // brought into 1 to 4
    int iAppSplitPos = 140;
    int iMainSplitPos = 0;  // 0 keeps the designed position, as for the two below
    int iLeftSplitPos = 0;
    int iRightSplitPos = 0;
    int iTileFormat = 0;  // 0 grid, 1 vertical, 2 horizontal; others select none
    bool bShowFavorites = false;
    bool bShowButtonBar = true;
    bool bShowStatusBar = true;
    int iUrlHistory = 2;  // 0 not saved, 1 one list for all panes, 2 one per pane
    int iMaxHistoryEntries = 25;
    std::array<int, 4> iWebRefreshRate{2, 2, 2, 2};  // iWeb1RefreshRate .. iWeb4RefreshRate
    std::array<bool, 4> bWebRefreshMins{true, true, true, true};
    std::array<int, 4> iWebCycleRate{2, 2, 2, 2};
    std::array<bool, 4> bWebCycleMins{true, true, true, true};
    std::array<std::string, 4> sPaneUrl;  // sPane1Url .. sPane4Url

    bool operator==(const WindowConfig&) const = default;
};

// Reads <configKey>\Config of the current user, creating the key when missing.
WindowConfig readWindowConfig(std::string_view configKey);

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
// Absent counts as active: only a sign-off in the main instance closes its spawned copies.
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
