#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "qt_wait.h"
#include "widgets/busy_indicator.h"

namespace tarn {
namespace {

TEST(BusyIndicator, TurnsWhileStartedAndRestsWhenStopped) {
    TBusyIndicator indicator;
    indicator.resize(indicator.sizeHint());
    indicator.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&indicator));
    const QImage still = indicator.grab().toImage();
    EXPECT_FALSE(indicator.isRunning());

    indicator.start();
    EXPECT_TRUE(indicator.isRunning());
    ASSERT_TRUE(test::waitUntil([&] { return indicator.step() != 0; }, 3000));
    const QImage turning = indicator.grab().toImage();
    EXPECT_NE(turning, still);
    const int step = indicator.step();
    ASSERT_TRUE(test::waitUntil([&] { return indicator.step() != step; }, 3000));
    EXPECT_NE(indicator.grab().toImage(), turning);

    indicator.stop();
    EXPECT_FALSE(indicator.isRunning());
    EXPECT_EQ(indicator.grab().toImage(), still);
}

}  // namespace
}  // namespace tarn
