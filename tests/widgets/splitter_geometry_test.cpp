#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "widgets/splitter_geometry.h"

namespace tarn {
namespace {

constexpr auto kVertical = TSplitterOrientation::soVertical;
constexpr auto kHorizontal = TSplitterOrientation::soHorizontal;

struct ClampCase {
    const char* name;
    TSplitterOrientation orientation;
    int extent;
    PaneLimits pane1, pane2;
    int wanted, expected;
};

TEST(SplitterGeometry, ClampsToMinimumSizesAndFrames) {
    const PaneLimits plain{10, TAdvFrameStyle::ftNone, 1};
    const PaneLimits wide{10, TAdvFrameStyle::ftRaised, 3};
    const ClampCase cases[] = {
        {"below the range", kVertical, 300, {}, {}, 0, 14},
        {"at the low end", kVertical, 300, {}, {}, 14, 14},
        {"inside", kVertical, 300, {}, {}, 150, 150},
        {"at the high end", kVertical, 300, {}, {}, 284, 284},
        {"above the range", kVertical, 300, {}, {}, 299, 284},
        {"stacked uses the height", kHorizontal, 300, {}, {}, 299, 284},
        {"pane 1 without frame", kVertical, 300, plain, {}, 0, 10},
        {"pane 2 without frame", kVertical, 300, {}, plain, 299, 287},
        {"wide bevels, low", kVertical, 300, wide, wide, 0, 22},
        {"wide bevels, high", kVertical, 300, wide, wide, 299, 276},
        {"no room: high end meets low end", kVertical, 30, {}, {}, 0, 14},
        {"no room: high end wins", kVertical, 25, {}, {}, 20, 9},
        {"no room at all: the bar stays grabbable", kVertical, 10, {}, {}, 5, 0},
    };
    for (const ClampCase& c : cases) {
        const int width = c.orientation == kVertical ? c.extent : 50;
        const int height = c.orientation == kHorizontal ? c.extent : 50;
        const SplitterGeometry geometry(c.orientation, width, height, 150, 2);
        EXPECT_EQ(geometry.clampPosition(c.wanted, c.pane1, c.pane2), c.expected) << c.name;
    }
}

struct LayoutCase {
    const char* name;
    TSplitterOrientation orientation;
    int position;
    bool pane1, pane2;
    SplitterLayout expected;
};

TEST(SplitterGeometry, LaysOutPanesByOrientationAndVisibility) {
    const PaneRect whole{0, 0, 300, 200};
    const LayoutCase cases[] = {
        {"side by side",
         kVertical,
         100,
         true,
         true,
         {PaneRect{0, 0, 100, 200}, PaneRect{102, 0, 198, 200}}},
        {"stacked",
         kHorizontal,
         100,
         true,
         true,
         {PaneRect{0, 0, 300, 100}, PaneRect{0, 102, 300, 98}}},
        {"side by side, pane 1 alone", kVertical, 100, true, false, {whole, std::nullopt}},
        {"side by side, pane 2 alone", kVertical, 100, false, true, {std::nullopt, whole}},
        {"stacked, pane 1 alone", kHorizontal, 100, true, false, {whole, std::nullopt}},
        {"stacked, pane 2 alone", kHorizontal, 100, false, true, {std::nullopt, whole}},
        {"none visible moves nothing", kVertical, 100, false, false, {}},
        {"bar beyond the control",
         kVertical,
         350,
         true,
         true,
         {PaneRect{0, 0, 350, 200}, PaneRect{352, 0, 0, 200}}},
        {"bar before the control",
         kHorizontal,
         -5,
         true,
         true,
         {PaneRect{0, 0, 300, 0}, PaneRect{0, -3, 300, 203}}},
    };
    for (const LayoutCase& c : cases) {
        const SplitterGeometry geometry(c.orientation, 300, 200, c.position, 2);
        EXPECT_EQ(geometry.layout(c.pane1, c.pane2), c.expected) << c.name;
    }
}

TEST(SplitterGeometry, CentresOnTheClientExtentLessTheBar) {
    EXPECT_EQ(SplitterGeometry(kVertical, 401, 50, 0, 2).centerPosition(), 199);
    EXPECT_EQ(SplitterGeometry(kHorizontal, 50, 401, 0, 2).centerPosition(), 199);
    EXPECT_EQ(SplitterGeometry(kVertical, 400, 50, 0, 3).centerPosition(), 198);
    EXPECT_EQ(SplitterGeometry(kVertical, 0, 50, 0, 2).centerPosition(), 0);
}

TEST(SplitterGeometry, FindsTheBarAcrossItsThickness) {
    const SplitterGeometry side(kVertical, 300, 100, 100, 2);
    for (int x : {98, 100, 102})
        EXPECT_TRUE(side.onBar(x, 0)) << x;
    for (int x : {97, 103})
        EXPECT_FALSE(side.onBar(x, 100)) << x;
    EXPECT_EQ(side.bar(), (PaneRect{100, 0, 2, 100}));

    const SplitterGeometry stacked(kHorizontal, 100, 300, 100, 2);
    EXPECT_TRUE(stacked.onBar(0, 101));
    EXPECT_FALSE(stacked.onBar(100, 0));
    EXPECT_EQ(stacked.bar(), (PaneRect{0, 100, 100, 2}));
}

TEST(SplitterGeometry, AcceptsDragsBetweenTheMinimumSizesOnly) {
    const SplitterGeometry geometry(kVertical, 300, 100, 100, 2);
    EXPECT_FALSE(geometry.acceptsDragTo(9, 10, 10));
    EXPECT_TRUE(geometry.acceptsDragTo(10, 10, 10));
    EXPECT_TRUE(geometry.acceptsDragTo(290, 10, 10));
    EXPECT_FALSE(geometry.acceptsDragTo(291, 10, 10));
    EXPECT_FALSE(geometry.acceptsDragTo(100, 10, 10)) << "the bar is already there";
}

TEST(SplitterGeometry, RatioNeedsAnExtent) {
    EXPECT_DOUBLE_EQ(*SplitterGeometry(kVertical, 200, 10, 50, 2).ratio(), 0.25);
    EXPECT_DOUBLE_EQ(*SplitterGeometry(kHorizontal, 10, 400, 50, 2).ratio(), 0.125);
    EXPECT_FALSE(SplitterGeometry(kVertical, 0, 10, 50, 2).ratio().has_value());
}

TEST(SplitterGeometry, ProportionalPositionRoundsHalvesToEven) {
    struct Case {
        int extent;
        double ratio;
        int expected;
    };
    const Case cases[] = {
        {200, 0.5, 100}, {100, 0.125, 12}, {300, 0.125, 38}, {5, 0.5, 2},
        {7, 0.5, 4},     {90, 0.3333, 30}, {0, 0.4, 0},      {10, -0.25, -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(proportionalPosition(c.extent, c.ratio), c.expected)
            << c.extent << " x " << c.ratio;
    }
    EXPECT_EQ(proportionalPosition(100, std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(proportionalPosition(100, 1e300), std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace tarn
