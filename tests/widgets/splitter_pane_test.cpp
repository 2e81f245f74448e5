#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>

#include "widgets/adv_pane.h"

namespace tarn {
namespace {

TEST(SplitterPane, ContentFillsTheRoomInsideTheBevels) {
    TAdvPane pane(1);
    pane.resize(100, 50);
    auto* content = new QLabel;
    pane.setContent(content);
    EXPECT_EQ(content->parentWidget(), &pane);
    EXPECT_EQ(content->geometry(), QRect(2, 2, 96, 46));

    pane.setBevelWidth(3);
    EXPECT_EQ(content->geometry(), QRect(6, 6, 88, 38));
    pane.setFrameStyle(TAdvFrameStyle::ftNone);
    EXPECT_EQ(content->geometry(), QRect(0, 0, 100, 50));

    pane.show();
    pane.resize(200, 80);
    EXPECT_EQ(content->geometry(), QRect(0, 0, 200, 80));
}

TEST(SplitterPane, NewContentReplacesTheOld) {
    TAdvPane pane(2);
    QPointer<QLabel> first = new QLabel;
    pane.setContent(first);
    pane.setContent(new QLabel);
    EXPECT_TRUE(first.isNull());
}

TEST(SplitterPane, ResizeIsReported) {
    TAdvPane pane(1);
    pane.show();
    QSignalSpy resized(&pane, &TAdvPane::OnResize);
    pane.resize(120, 40);
    EXPECT_EQ(resized.count(), 1);
}

}  // namespace
}  // namespace tarn
