#include "app/pane_layout.h"

namespace tarn {

std::optional<PaneArrangement> arrangementForCount(int paneCount) {
    if (paneCount < 1 || paneCount > 4)
        return std::nullopt;
    PaneArrangement a;
    a.mainPane1 = true;
    a.mainPane2 = paneCount >= 3;
    a.leftPane1 = true;
    a.leftPane2 = paneCount >= 2;
    a.rightPane1 = paneCount >= 3;
    a.rightPane2 = paneCount >= 4;
    a.zoomEnabled = paneCount >= 2;
    // Pane 1's docks always accept; the others only while their pane is counted.
    for (int pane = 1; pane <= 4; ++pane) {
        const bool accepts = pane <= paneCount;
        a.dockAccepts[(pane - 1) * 2] = accepts;
        a.dockAccepts[(pane - 1) * 2 + 1] = accepts;
    }
    return a;
}

PaneArrangement arrangementForZoom(int pane, const PaneArrangement& current) {
    PaneArrangement a = current;
    switch (pane) {
        case 1:
            a.mainPane2 = false;
            a.leftPane1 = true;
            a.leftPane2 = false;
            break;
        case 2:
            a.mainPane2 = false;
            a.leftPane1 = false;
            a.leftPane2 = true;
            break;
        case 3:
            a.mainPane1 = false;
            a.mainPane2 = true;
            a.rightPane1 = true;
            a.rightPane2 = false;
            break;
        case 4:
            a.mainPane1 = false;
            a.mainPane2 = true;
            a.rightPane2 = true;
            a.rightPane1 = false;
            break;
        default:
            return current;
    }
    a.dockAccepts.fill(false);
    a.dockAccepts[(pane - 1) * 2] = true;
    a.dockAccepts[(pane - 1) * 2 + 1] = true;
    return a;
}

TileOrientation orientationFor(TileFormat format) {
    switch (format) {
        case TileFormat::Vertical:
            return {false, false, false};
        case TileFormat::Horizontal:
            return {true, true, true};
        case TileFormat::Grid:
            break;
    }
    return {false, true, true};
}

}  // namespace tarn
