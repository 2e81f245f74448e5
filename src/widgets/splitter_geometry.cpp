#include "widgets/splitter_geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace tarn {

namespace {

// Two bevels on each side of the pane.
int frameRoom(const PaneLimits& pane) {
    return pane.frameStyle == TAdvFrameStyle::ftNone ? 0 : 4 * pane.bevelWidth;
}

}  // namespace

SplitterGeometry::SplitterGeometry(TSplitterOrientation orientation, int clientWidth,
                                   int clientHeight, int position, int thickness)
    : orientation_(orientation),
      width_(clientWidth),
      height_(clientHeight),
      position_(position),
      thickness_(thickness) {}

int SplitterGeometry::extent() const {
    return orientation_ == TSplitterOrientation::soHorizontal ? height_ : width_;
}

SplitterLayout SplitterGeometry::layout(bool pane1Visible, bool pane2Visible) const {
    const PaneRect whole{0, 0, width_, height_};
    if (pane1Visible && !pane2Visible)
        return {whole, std::nullopt};
    if (pane2Visible && !pane1Visible)
        return {std::nullopt, whole};
    if (!pane1Visible)
        return {};

    // Positions set from code are not clamped, so a pane may have no room left at all.
    const int start2 = position_ + thickness_;
    if (orientation_ == TSplitterOrientation::soHorizontal) {
        return {PaneRect{0, 0, width_, std::max(0, position_)},
                PaneRect{0, start2, width_, std::max(0, height_ - start2)}};
    }
    return {PaneRect{0, 0, std::max(0, position_), height_},
            PaneRect{start2, 0, std::max(0, width_ - start2), height_}};
}

PaneRect SplitterGeometry::bar() const {
    if (orientation_ == TSplitterOrientation::soHorizontal) {
        return {0, position_, width_, thickness_};
    }
    return {position_, 0, thickness_, height_};
}

int SplitterGeometry::clampPosition(int wanted, const PaneLimits& pane1,
                                    const PaneLimits& pane2) const {
    const int lo = pane1.minSize + frameRoom(pane1);
    int hi = extent() - thickness_ - pane2.minSize - 1;
    if (pane2.frameStyle != TAdvFrameStyle::ftNone)
        hi -= frameRoom(pane2) - 1;
    // A bar at a negative position could never be grabbed again.
    return std::max(0, std::min(hi, std::max(lo, wanted)));
}

int SplitterGeometry::centerPosition() const {
    return std::max(0, (extent() - thickness_) / 2);
}

int SplitterGeometry::across(int x, int y) const {
    return orientation_ == TSplitterOrientation::soHorizontal ? y : x;
}

bool SplitterGeometry::onBar(int x, int y) const {
    return std::abs(across(x, y) - position_) <= thickness_;
}

bool SplitterGeometry::acceptsDragTo(int coordinate, std::uint16_t pane1MinSize,
                                     std::uint16_t pane2MinSize) const {
    return coordinate >= pane1MinSize && coordinate <= extent() - pane2MinSize &&
           coordinate != position_;
}

std::optional<double> SplitterGeometry::ratio() const {
    if (extent() <= 0)
        return std::nullopt;
    return static_cast<double>(position_) / extent();
}

int proportionalPosition(int extent, double ratio) {
    const double exact = static_cast<double>(extent) * ratio;
    if (!std::isfinite(exact))
        return 0;
    const double bounded =
        std::clamp(exact, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
    double whole = std::floor(bounded);
    const double rest = bounded - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<int>(std::min(whole, static_cast<double>(INT_MAX)));
}

}  // namespace tarn
