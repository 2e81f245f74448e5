#pragma once

#include <cstdint>
#include <optional>

namespace tarn {

enum class TAdvFrameStyle { ftNone, ftRaised, ftLowered, ftCarved, ftBump };
// soHorizontal: the bar runs across, pane 1 on top; soVertical: the bar runs down, pane 1 left.
enum class TSplitterOrientation { soHorizontal, soVertical };
enum class TSplitterStyle { ssCheckered, ssSolid };

struct PaneRect {
    int left{}, top{}, width{}, height{};

    bool operator==(const PaneRect&) const = default;
};

// What clamping needs to know of one pane.
struct PaneLimits {
    std::uint16_t minSize{10};
    TAdvFrameStyle frameStyle{TAdvFrameStyle::ftLowered};
    int bevelWidth{1};
};

// Where each pane goes; a pane without a rectangle is not moved.
struct SplitterLayout {
    std::optional<PaneRect> pane1, pane2;

    bool operator==(const SplitterLayout&) const = default;
};

// The geometry of a two-pane splitter, in client coordinates, without any widget: where the
// panes and the bar go, how far the bar may be dragged, and where the bar belongs after a
// resize.
class SplitterGeometry {
  public:
    SplitterGeometry(TSplitterOrientation orientation, int clientWidth, int clientHeight,
                     int position, int thickness);

    // The client extent across the bar: height when stacked, width when side by side.
    int extent() const;

    SplitterLayout layout(bool pane1Visible, bool pane2Visible) const;
    PaneRect bar() const;

    // Keeps the bar where both panes keep their minimum size and frames. When the room is too
    // small for both, pane 2's limit wins, but the bar never leaves the control.
    int clampPosition(int wanted, const PaneLimits& pane1, const PaneLimits& pane2) const;

    int centerPosition() const;

    // The pointer coordinate across the bar (y when stacked, x when side by side).
    int across(int x, int y) const;
    bool onBar(int x, int y) const;

    // Whether a drag to `coordinate` moves the bar at all.
    bool acceptsDragTo(int coordinate, std::uint16_t pane1MinSize,
                       std::uint16_t pane2MinSize) const;

    // The bar's place relative to the extent; nothing when the control has no extent.
    std::optional<double> ratio() const;

  private:
    TSplitterOrientation orientation_;
    int width_, height_, position_, thickness_;
};

// The bar position that keeps `ratio` of `extent`, rounded to the nearest pixel, halves to the
// even one.
int proportionalPosition(int extent, double ratio);

}  // namespace tarn
