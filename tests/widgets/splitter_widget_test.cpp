#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "widgets/adv_splitter.h"

namespace tarn {
namespace {

// A shown splitter 300 by 100, panes side by side with the bar at 150.
class SplitterWidget : public ::testing::Test {
  protected:
    void SetUp() override {
        splitter.resize(300, 100);
        splitter.setPosition(150);
        splitter.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
    }

    void press(int x) { QTest::mousePress(&splitter, Qt::LeftButton, {}, QPoint(x, 50)); }
    void moveTo(int x) { QTest::mouseMove(&splitter, QPoint(x, 50)); }
    void release(int x) { QTest::mouseRelease(&splitter, Qt::LeftButton, {}, QPoint(x, 50)); }

    QRgb pixel(int x, int y) { return splitter.grab().toImage().pixel(x, y); }

    TAdvSplitter splitter;
};

TEST(SplitterDefaults, StartAsDocumented) {
    TAdvSplitter splitter;
    EXPECT_EQ(splitter.size(), QSize(100, 100));
    EXPECT_TRUE(splitter.AllowResize());
    EXPECT_FALSE(splitter.AutoUpdate());
    EXPECT_EQ(splitter.BorderStyle(), TBorderStyle::bsNone);
    EXPECT_EQ(splitter.Orientation(), TSplitterOrientation::soVertical);
    EXPECT_FALSE(splitter.ProportionalResize());
    EXPECT_EQ(splitter.Position(), 50);
    EXPECT_EQ(splitter.SplitterColor(), QPalette().color(QPalette::Button));
    EXPECT_EQ(splitter.SplitterStyle(), TSplitterStyle::ssCheckered);
    EXPECT_EQ(splitter.Thickness(), 2);
    EXPECT_TRUE(splitter.Ctl3D());
    EXPECT_EQ(splitter.Pane1()->Tag(), 1);
    EXPECT_EQ(splitter.Pane2()->Tag(), 2);
    for (TAdvPaneSetting* setting : {splitter.Pane1Setting(), splitter.Pane2Setting()}) {
        EXPECT_EQ(setting->FrameStyle(), TAdvFrameStyle::ftLowered);
        EXPECT_EQ(setting->FrameWidth(), 1);
        EXPECT_EQ(setting->MinSize(), 10);
        EXPECT_TRUE(setting->Visible());
    }
    EXPECT_EQ(splitter.Pane1()->geometry(), QRect(0, 0, 50, 100));
    EXPECT_EQ(splitter.Pane2()->geometry(), QRect(52, 0, 48, 100));
}

TEST_F(SplitterWidget, DragIsClampedBetween14And284) {
    splitter.setAutoUpdate(true);
    press(151);
    moveTo(12);
    EXPECT_EQ(splitter.Position(), 14);
    EXPECT_EQ(splitter.Pane1()->width(), 14);
    moveTo(5);
    EXPECT_EQ(splitter.Position(), 14) << "beyond pane 1's minimum size the pointer is ignored";
    moveTo(289);
    EXPECT_EQ(splitter.Position(), 284);
    EXPECT_EQ(splitter.Pane2()->geometry(), QRect(286, 0, 14, 100));
    release(289);
    EXPECT_EQ(splitter.Position(), 284);
}

TEST_F(SplitterWidget, PanesFollowTheDragOnlyWithAutoUpdate) {
    splitter.setAutoUpdate(true);
    press(150);
    moveTo(100);
    EXPECT_EQ(splitter.Pane1()->width(), 100);
    EXPECT_EQ(splitter.Pane2()->x(), 102);
    release(100);

    splitter.setAutoUpdate(false);
    press(101);
    moveTo(200);
    EXPECT_EQ(splitter.Position(), 200);
    EXPECT_EQ(splitter.Pane1()->width(), 100) << "only the outline moves";
    release(200);
    EXPECT_EQ(splitter.Pane1()->width(), 200);
    EXPECT_EQ(splitter.Pane2()->geometry(), QRect(202, 0, 98, 100));
}

TEST_F(SplitterWidget, OutlineInvertsTheNewBarPlaceAndIsErasedOnRelease) {
    splitter.setSplitterStyle(TSplitterStyle::ssSolid);
    const QImage before = splitter.grab().toImage();
    press(151);
    moveTo(60);
    const QImage during = splitter.grab().toImage();
    for (int x : {60, 61}) {
        EXPECT_EQ(during.pixel(x, 50) & 0xffffff, ~before.pixel(x, 50) & 0xffffff) << x;
    }
    EXPECT_EQ(during.pixel(62, 50), before.pixel(62, 50));
    EXPECT_EQ(during.pixel(150, 50), before.pixel(150, 50)) << "the outline left the old place";
    release(60);
    const QImage after = splitter.grab().toImage();
    EXPECT_EQ(after.pixel(30, 50), before.pixel(30, 50));
    EXPECT_EQ(after.pixel(60, 50), QColor(splitter.SplitterColor()).rgb())
        << "the bar, not inverted";
}

TEST_F(SplitterWidget, CheckeredOutlineInvertsEveryOtherPixel) {
    const QImage before = splitter.grab().toImage();
    press(151);
    moveTo(60);
    const QImage during = splitter.grab().toImage();
    int inverted = 0;
    for (int y = 40; y < 48; ++y) {
        if ((during.pixel(60, y) & 0xffffff) == (~before.pixel(60, y) & 0xffffff))
            ++inverted;
        EXPECT_NE(during.pixel(60, y) == before.pixel(60, y),
                  during.pixel(61, y) == before.pixel(61, y))
            << "neighbours alternate at row " << y;
    }
    EXPECT_EQ(inverted, 4);
    release(60);
}

TEST_F(SplitterWidget, NoDragWhileAPaneIsHiddenOrResizingIsOff) {
    splitter.setAutoUpdate(true);
    splitter.Pane1Setting()->setVisible(false);
    EXPECT_EQ(splitter.Pane2()->geometry(), splitter.clientRect());
    press(150);
    moveTo(100);
    release(100);
    EXPECT_EQ(splitter.Position(), 150) << "kept for when pane 1 comes back";

    splitter.Pane1Setting()->setVisible(true);
    EXPECT_EQ(splitter.Pane1()->geometry(), QRect(0, 0, 150, 100));
    EXPECT_EQ(splitter.Pane2()->geometry(), QRect(152, 0, 148, 100));

    splitter.setAllowResize(false);
    press(150);
    moveTo(100);
    release(100);
    EXPECT_EQ(splitter.Position(), 150);
}

TEST_F(SplitterWidget, CursorShowsTheSplitDirectionOnTheBar) {
    moveTo(151);
    EXPECT_EQ(splitter.cursor().shape(), Qt::SplitHCursor);
    moveTo(20);
    EXPECT_EQ(splitter.cursor().shape(), Qt::ArrowCursor);

    splitter.setOrientation(TSplitterOrientation::soHorizontal);
    splitter.setPosition(50);
    QTest::mouseMove(&splitter, QPoint(150, 51));
    EXPECT_EQ(splitter.cursor().shape(), Qt::SplitVCursor);
}

TEST_F(SplitterWidget, HidingPanesGivesTheirRoomAway) {
    splitter.Pane2Setting()->setVisible(false);
    EXPECT_EQ(splitter.Pane1()->geometry(), QRect(0, 0, 300, 100));
    EXPECT_EQ(splitter.Position(), 150);

    splitter.setColor(Qt::magenta);
    splitter.Pane1Setting()->setVisible(false);
    EXPECT_EQ(pixel(150, 50), QColor(Qt::magenta).rgb());
    EXPECT_EQ(pixel(10, 10), QColor(Qt::magenta).rgb());
}

TEST_F(SplitterWidget, ResizingKeepsPane1OrTheRelativePlace) {
    splitter.setPosition(100);
    splitter.resize(500, 100);
    EXPECT_EQ(splitter.Position(), 100);
    EXPECT_EQ(splitter.Pane1()->width(), 100);
    EXPECT_EQ(splitter.Pane2()->geometry(), QRect(102, 0, 398, 100));

    splitter.setProportionalResize(true);
    splitter.resize(200, 100);
    splitter.setPosition(25);
    splitter.resize(100, 100);
    EXPECT_EQ(splitter.Position(), 12) << "12.5 goes to the even neighbour";
    EXPECT_EQ(splitter.Pane1()->width(), 12);
    splitter.resize(200, 100);
    EXPECT_EQ(splitter.Position(), 25) << "no creep from the rounding";
    splitter.resize(300, 100);
    EXPECT_EQ(splitter.Position(), 38);
}

TEST_F(SplitterWidget, ResizeAndLayoutRaiseTheirSignals) {
    QSignalSpy resized(&splitter, &TAdvSplitter::OnResize);
    QSignalSpy panes(&splitter, &TAdvSplitter::OnPaneResize);
    splitter.resize(400, 100);
    EXPECT_EQ(resized.count(), 1);
    EXPECT_GE(panes.count(), 1);
    panes.clear();
    splitter.setPosition(120);
    EXPECT_GE(panes.count(), 1);
}

TEST_F(SplitterWidget, CenterPositionSplitsTheClientExtent) {
    splitter.resize(401, 100);
    splitter.CenterPosition();
    EXPECT_EQ(splitter.Position(), 199);
    splitter.setOrientation(TSplitterOrientation::soHorizontal);
    splitter.CenterPosition();
    EXPECT_EQ(splitter.Position(), 49);
    EXPECT_EQ(splitter.Pane2()->geometry(), QRect(0, 51, 401, 49));
}

TEST_F(SplitterWidget, PositionFromCodeIsNotClamped) {
    splitter.setPosition(3);
    EXPECT_EQ(splitter.Position(), 3);
    EXPECT_EQ(splitter.Pane1()->width(), 3);
}

TEST_F(SplitterWidget, PaneSettingsReclampThePosition) {
    splitter.Pane2Setting()->setMinSize(200);
    EXPECT_EQ(splitter.Position(), 94);
    splitter.Pane2Setting()->setMinSize(10);
    splitter.setPosition(12);
    splitter.Pane1Setting()->setFrameWidth(3);
    EXPECT_EQ(splitter.Position(), 22);
    splitter.Pane1Setting()->setFrameStyle(TAdvFrameStyle::ftNone);
    EXPECT_EQ(splitter.Position(), 22);
    EXPECT_EQ(splitter.Pane1()->width(), 22);
}

TEST_F(SplitterWidget, SingleBorderNarrowsTheClientArea) {
    splitter.setBorderStyle(TBorderStyle::bsSingle);
    EXPECT_EQ(splitter.clientRect(), QRect(2, 2, 296, 96));
    EXPECT_EQ(splitter.Pane1()->geometry(), QRect(2, 2, 150, 96));
    splitter.setCtl3D(false);
    EXPECT_EQ(splitter.clientRect(), QRect(1, 1, 298, 98));
    EXPECT_EQ(splitter.Pane2()->geometry(), QRect(153, 1, 146, 98));
}

}  // namespace
}  // namespace tarn
