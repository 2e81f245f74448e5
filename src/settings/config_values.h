#pragma once

#include <string>

#include "settings/setting.h"

// The values of a person's configuration, in the Config subkey of their configuration key,
// each with its name and the default its readers pass, written once for every reader and writer.
namespace tarn::config {

inline constexpr char kSection[] = "Config";

inline constexpr IntSetting iPositionLeft{"iPosition Left", 100};
inline constexpr IntSetting iPositionTop{"iPosition Top", 100};
// -1, or absent: the window keeps its designed size.
inline constexpr IntSetting iPositionWidth{"iPosition Width", -1};
inline constexpr IntSetting iPositionHeight{"iPosition Height", -1};
inline constexpr IntSetting iNumberOfPanes{"iNumberOfPanes", 1};
inline constexpr IntSetting iTileFormat{"iTileFormat", 0};  // 0 grid, 1 vertical, 2 horizontal
inline constexpr IntSetting iAppSplitPos{"iAppSplitPos", 140};
// 0 keeps the designed position.
inline constexpr IntSetting iMainSplitPos{"iMainSplitPos", 0};
inline constexpr IntSetting iLeftSplitPos{"iLeftSplitPos", 0};
inline constexpr IntSetting iRightSplitPos{"iRightSplitPos", 0};
inline constexpr BoolSetting bShowFavorites{"bShowFavorites", false};
inline constexpr BoolSetting bShowButtonBar{"bShowButtonBar", true};
inline constexpr BoolSetting bShowStatusBar{"bShowStatusBar", true};
inline constexpr PaneSetting<std::string_view> sPaneUrl{"sPane", "Url", ""};
// 0 not saved, 1 one history for all panes, 2 one per pane.
inline constexpr IntSetting iUrlHistory{"iUrlHistory", 2};
inline constexpr IntSetting iMaxHistoryEntries{"iMaxHistoryEntries", 25};
// 0 a new copy of the program, 1 the platform browser, 2 the next pane, 3 the current pane.
inline constexpr IntSetting iNewWindowAction{"iNewWindowAction", 0};
inline constexpr PaneSetting<bool> bWebOkToAutoRefresh{"bWeb", "OkToAutoRefresh", false};
inline constexpr PaneSetting<int> iWebRefreshRate{"iWeb", "RefreshRate", 2};
inline constexpr PaneSetting<bool> bWebRefreshMins{"bWeb", "RefreshMins", true};
inline constexpr PaneSetting<bool> bWebOkToCycle{"bWeb", "OkToCycle", false};
inline constexpr PaneSetting<int> iWebCycleRate{"iWeb", "CycleRate", 2};
inline constexpr PaneSetting<bool> bWebCycleMins{"bWeb", "CycleMins", true};
// For unattended displays: start the pane's refresh or cycling once its start page has loaded,
// where bWeb<n>OkToAutoRefresh or bWeb<n>OkToCycle allows it.
inline constexpr PaneSetting<bool> bWebRefreshAtStart{"bWeb", "RefreshAtStart", false};
inline constexpr PaneSetting<bool> bWebCycleAtStart{"bWeb", "CycleAtStart", false};
inline constexpr TextSetting sLastRunDate{"sLastRunDate", ""};
// A pane's cycle list: section "Web<n>Cycle" of the configuration key, values "sUrl0", "sUrl1"...
inline std::string cycleSection(int pane) {
    return "Web" + std::to_string(pane) + "Cycle";
}
inline std::string cycleEntry(int index) {
    return "sUrl" + std::to_string(index);
}
// True while the person is signed on; their spawned copies close when it reads false.
inline constexpr BoolSetting bUserActive{"bUserActive", false};

}  // namespace tarn::config
