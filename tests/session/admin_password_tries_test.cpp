#include "session/admin_password_tries.h"

#include <gtest/gtest.h>

#include "temp_env.h"

namespace tarn {
namespace {

using std::chrono::seconds;

class AdminPasswordTriesTest : public test::TempEnv {
  protected:
    ManualClock clock{Clock::TimePoint(seconds(1'800'000'000))};
};

TEST_F(AdminPasswordTriesTest, EachWrongTryDoublesTheWaitUpToAMinute) {
    AdminPasswordTries tries(clock);
    EXPECT_EQ(tries.wait(), seconds(0));
    for (const int expected : {1, 2, 4, 8, 16, 32, 60, 60}) {
        tries.failed();
        EXPECT_EQ(tries.wait(), seconds(expected));
        clock.advance(seconds(expected - 1));
        EXPECT_EQ(tries.wait(), seconds(1)) << expected;
        clock.advance(seconds(1));
        EXPECT_EQ(tries.wait(), seconds(0)) << expected;
    }
    tries.succeeded();
    tries.failed();
    EXPECT_EQ(tries.wait(), seconds(1)) << "a right password starts the count again";
}

TEST_F(AdminPasswordTriesTest, TheWaitOutlivesARestartAndAClockSetBack) {
    {
        AdminPasswordTries first(clock);
        first.failed();
        clock.advance(seconds(1));
        first.failed();
    }
    AdminPasswordTries restarted(clock);
    EXPECT_EQ(restarted.wait(), seconds(2));
    clock.advance(seconds(2));
    restarted.failed();
    EXPECT_EQ(restarted.wait(), seconds(4)) << "the count went on from the stored one";

    clock.advance(-std::chrono::hours(24 * 365));
    EXPECT_EQ(AdminPasswordTries(clock).wait(), AdminPasswordTries::kLongestWait);
}

}  // namespace
}  // namespace tarn
