#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

class TDock;
class TDockToolbar;

// Where a docking toolbar is and whether it shows, as kept below the user's configuration key.
// `DockedTo` is the dock's object name, empty while floating; `DockRow` and `DockPos` place it
// in that dock, `FloatLeft` and `FloatTop` give the floating window's screen position.
struct ToolbarState {
    bool Visible = true;
    std::string DockedTo;
    int DockRow = 0;
    int DockPos = 0;
    int FloatLeft = 0;
    int FloatTop = 0;

    bool operator==(const ToolbarState&) const = default;
};

ToolbarState captureToolbarState(const TDockToolbar& toolbar);

// Puts the toolbar where `state` says. `docks` are looked up by object name; a name that is
// unknown, or names a dock the toolbar may not go to, sends it to its default dock. A floating
// position off every screen is brought back onto the primary screen.
void applyToolbarState(TDockToolbar& toolbar, const ToolbarState& state,
                       const std::vector<TDock*>& docks);

// `topLeft` itself when a window of `size` there can still be taken hold of on one of
// `screens`; otherwise the nearest position that puts it wholly inside `primary`.
QPoint bringOnScreen(const QPoint& topLeft, const QSize& size, const QList<QRect>& screens,
                     const QRect& primary);

// The state is kept in the current-user hive in the subkey `toolbarName` of `configKey`.
void saveToolbarState(std::string_view configKey, std::string_view toolbarName,
                      const ToolbarState& state);
// Nothing when the toolbar's state was never saved.
std::optional<ToolbarState> loadToolbarState(std::string_view configKey,
                                             std::string_view toolbarName);

}  // namespace tarn
