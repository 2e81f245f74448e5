#include "session/spawn_token.h"

#include <gtest/gtest.h>

#include "temp_env.h"

namespace tarn {
namespace {

using SpawnTokenTest = test::TempEnv;

TEST_F(SpawnTokenTest, ATokenLetsOneCopyOfItsUserRunOnceWithinAMinute) {
    ManualClock clock;
    clock.setLocal(2026, 12, 10, 9, 30);
    const std::string token = issueSpawnToken("Kids", "bob", clock);
    EXPECT_EQ(token.size(), 32u);
    EXPECT_NE(issueSpawnToken("Kids", "bob", clock), token);
    EXPECT_TRUE(claimSpawnToken(token, "Kids", "bob", clock));
    EXPECT_FALSE(claimSpawnToken(token, "Kids", "bob", clock)) << "claimed twice";

    // Another user's name spends the token; so does the wait.
    const std::string other = issueSpawnToken("Kids", "bob", clock);
    EXPECT_FALSE(claimSpawnToken(other, "Staff", "ann", clock));
    EXPECT_FALSE(claimSpawnToken(other, "Kids", "bob", clock));
    const std::string late = issueSpawnToken("Kids", "bob", clock);
    clock.advance(std::chrono::seconds(61));
    EXPECT_FALSE(claimSpawnToken(late, "Kids", "bob", clock));

    for (const char* forged : {"", "0", "..\\\\Admin", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"})
        EXPECT_FALSE(claimSpawnToken(forged, "Kids", "bob", clock)) << forged;
}

}  // namespace
}  // namespace tarn
