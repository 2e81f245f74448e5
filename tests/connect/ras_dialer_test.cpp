#include "connect/ras_dialer.h"

#include <gmock/gmock.h>
#include <stdlib.h>

#include <thread>

#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;

// Dials through the simulator library with a phone book of the test's own.
class RasDialerTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        phonebook = root / "phonebook.txt";
        test::writeFile(phonebook, "# test entries\nSchool\nBroken;error=678\nFlaky;drop=1\n");
        setenv("TARNVIEW_RAS_PHONEBOOK", phonebook.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TARNVIEW_RAS_PHONEBOOK");
        TempEnv::TearDown();
    }

    RasResult run(bool dial, const std::string& entry) {
        statuses.clear();
        return rasDialOrHangUp(dial, {entry, "ann", "secret"}, TARN_RAS_SIMULATOR,
                               [this](const std::string& text) { statuses.push_back(text); });
    }

    std::filesystem::path phonebook;
    std::vector<std::string> statuses;
};

TEST_F(RasDialerTest, DialsAnEntryOnceAndHangsItUpOnce) {
    const RasResult dialled = run(true, "School");
    EXPECT_TRUE(dialled.ok) << dialled.message;
    EXPECT_THAT(statuses,
                ElementsAre("Dial: Starting dial-up connection..",
                            "Dial: Dialing and connecting...", "Dial: connection established.."));
    // Names match without regard to case, also for a line that is already up.
    EXPECT_TRUE(rasEntryConnected("SCHOOL", TARN_RAS_SIMULATOR));
    const RasResult again = run(true, "school");
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.message, "You are already connected..");

    const RasResult hungUp = run(false, "sChOoL");
    EXPECT_TRUE(hungUp.ok) << hungUp.message;
    EXPECT_THAT(statuses, ElementsAre("Starting dial-up disconnection..", "Disconnecting..."));
    EXPECT_FALSE(rasEntryConnected("School", TARN_RAS_SIMULATOR));
    EXPECT_EQ(run(false, "School").message, "No active connection to disconnect..");
}

TEST_F(RasDialerTest, FailuresSayWhyAndLeaveNoLineUp) {
    EXPECT_EQ(run(true, "Broken").message,
              "Dial-up connection failed: The remote computer did not answer.");
    EXPECT_FALSE(rasEntryConnected("Broken", TARN_RAS_SIMULATOR));
    EXPECT_EQ(run(true, "Nowhere").message,
              "Dial-up connection failed: The phone book entry does not exist.");
    EXPECT_EQ(run(true, "").message, "Dial-Up settings are incomplete, configure them first..");
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(rasDialOrHangUp(true, {"School", "", ""}, root / "missing.so", {}).message,
              "Unable to load RAS library..");
}

TEST_F(RasDialerTest, ALineTheOtherEndDropsIsNoLongerActive) {
    ASSERT_TRUE(run(true, "Flaky").ok);
    EXPECT_TRUE(rasEntryConnected("Flaky", TARN_RAS_SIMULATOR));
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_FALSE(rasEntryConnected("Flaky", TARN_RAS_SIMULATOR));
}

}  // namespace
}  // namespace tarn
