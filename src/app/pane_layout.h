#pragma once

#include <array>
#include <optional>

namespace tarn {

// Which splitter panes show for a pane count or a zoomed pane, and which of the eight pane docks
// accept dragged toolbars. Docks are indexed pane by pane: top and bottom dock of pane 1, then
// of pane 2, 3 and 4.
struct PaneArrangement {
    bool mainPane1{}, mainPane2{};    // MainSplit: the left column, the right column
    bool leftPane1{}, leftPane2{};    // LeftSplit: panes 1 and 2
    bool rightPane1{}, rightPane2{};  // RightSplit: panes 3 and 4
    bool zoomEnabled{};               // LTZoom
    std::array<bool, 8> dockAccepts{};

    bool operator==(const PaneArrangement&) const = default;
};

// The arrangement for 1 to 4 panes; nothing for any other count, which changes no pane.
std::optional<PaneArrangement> arrangementForCount(int paneCount);

// The arrangement that shows pane 1 to 4 alone. Only the panes the zoom touches are set: the
// others keep what they had, so `current` supplies them.
PaneArrangement arrangementForZoom(int pane, const PaneArrangement& current);

enum class TileFormat { Grid = 0, Vertical = 1, Horizontal = 2 };

// Orientation of the three inner splitters: true where panes are stacked.
struct TileOrientation {
    bool mainStacked, leftStacked, rightStacked;
};
TileOrientation orientationFor(TileFormat format);

}  // namespace tarn
