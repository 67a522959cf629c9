#include "framework/Layout.h"

#include <gtest/gtest.h>

namespace {

using layout::Rect;

TEST(SplitterLayout, PanesSitEitherSideOfTheBar) {
    const auto stacked = layout::splitterLayout(200, 300, false, 0.5f, 6);
    EXPECT_EQ(stacked.bar, (Rect{0, 150, 200, 156}));
    EXPECT_EQ(stacked.first, (Rect{0, 0, 200, 150}));
    EXPECT_EQ(stacked.second, (Rect{0, 156, 200, 300}));

    const auto side = layout::splitterLayout(301, 100, true, 0.25f, 6);
    EXPECT_EQ(side.bar, (Rect{75, 0, 81, 100}));  // trunc(301 * 0.25)
    EXPECT_EQ(side.first, (Rect{0, 0, 75, 100}));
    EXPECT_EQ(side.second, (Rect{81, 0, 301, 100}));
}

TEST(SplitterLayout, DraggingToTheEdgesKeepsTheRatio) {
    EXPECT_FALSE(layout::splitterDragRatio(0, 300, 6));
    EXPECT_FALSE(layout::splitterDragRatio(-5, 300, 6));
    EXPECT_FALSE(layout::splitterDragRatio(294, 300, 6));  // bar would reach the far edge
    EXPECT_FALSE(layout::splitterDragRatio(10, 0, 6));
    ASSERT_TRUE(layout::splitterDragRatio(293, 300, 6));
    EXPECT_FLOAT_EQ(*layout::splitterDragRatio(1, 300, 6), 1.0f / 300.0f);
    EXPECT_FLOAT_EQ(*layout::splitterDragRatio(150, 300, 6), 0.5f);
}

layout::ScreenMetrics screen() {
    layout::ScreenMetrics s;
    s.workArea = {0, 0, 1280, 1000};
    s.virtualWidth = 1280;
    s.virtualHeight = 1024;
    s.caption = 20;
    return s;
}

TEST(KeepOnScreen, DialogsOffTheScreenComeBack) {
    // Fully visible: stays.
    EXPECT_FALSE(layout::keepOnScreen({100, 100, 400, 300}, screen()));
    // Off the right edge: moved left by how far it overhangs the work area.
    auto moved = layout::keepOnScreen({1270, 100, 1570, 300}, screen());
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (layout::Point{980, 100}));
    // Off the left edge (right edge left of the caption height): to the work area's left.
    moved = layout::keepOnScreen({-500, 100, -300, 300}, screen());
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (layout::Point{0, 100}));
    // Below the bottom and above the top.
    moved = layout::keepOnScreen({100, 1010, 300, 1110}, screen());
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (layout::Point{100, 900}));
    moved = layout::keepOnScreen({100, -400, 300, -300}, screen());
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (layout::Point{100, 0}));
}

TEST(Centring, UsesIntegerHalves) {
    EXPECT_EQ(layout::centredAt({500, 400}, 301, 201), (layout::Point{350, 300}));
    EXPECT_EQ(layout::paneChildArea(100, 50), (Rect{1, 1, 98, 48}));
}

}  // namespace
