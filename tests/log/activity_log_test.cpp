#include "log/activity_log.h"

#include <gtest/gtest.h>

#include "log_fixture.h"

namespace tarn {
namespace {

using test::readFile;

class ActivityLogTest : public test::LogFixture {
  protected:
    // The refusal lines of the log, without their date and time.
    std::vector<std::string> refusals() const {
        std::vector<std::string> lines;
        const std::string text = readFile(logFile);
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find("\r\n", at);
            const std::string line = text.substr(at, end - at);
            lines.push_back(line.substr(line.find("Kids Ann ") + 9));
            at = end + 2;
        }
        return lines;
    }

    const LogIdentity kids{"Kids", "Ann"};
    ActivityLog log{clock};
};

TEST_F(ActivityLogTest, RepeatedRefusalsFromOneSourceAreFoldedIntoOneLineAMinute) {
    EXPECT_EQ(log.refusal(kids, 1, "http://bad.example/0"), std::nullopt);
    for (int i = 1; i <= 40; ++i) {
        clock.advance(std::chrono::milliseconds(25));
        EXPECT_EQ(log.refusal(kids, 1, "http://bad.example/" + std::to_string(i)), std::nullopt);
    }
    // Another browser's refusals are its own.
    log.refusal(kids, 2, "http://bad.example/pane2");
    EXPECT_EQ(refusals(),
              (std::vector<std::string>{"Excluded site attempt: http://bad.example/0",
                                        "Excluded site attempt: http://bad.example/pane2"}));

    clock.advance(std::chrono::seconds(30));
    log.writeDue(kids);
    EXPECT_EQ(refusals().size(), 2u) << "the minute is not over";
    clock.advance(std::chrono::seconds(30));
    log.writeDue(kids);
    log.writeDue(kids);
    ASSERT_EQ(refusals().size(), 3u);
    EXPECT_EQ(refusals()[2],
              "Excluded site attempt: http://bad.example/40 (the last of 40 refusals from the "
              "same page within a minute)");

    // A refusal a minute after the last line is written at once.
    clock.advance(std::chrono::seconds(61));
    log.refusal(kids, 1, "http://bad.example/later");
    log.refusal(kids, 1, "http://bad.example/again");
    EXPECT_EQ(refusals().size(), 4u);
    clock.advance(std::chrono::seconds(60));
    log.refusal(kids, 1, "http://bad.example/next");
    ASSERT_EQ(refusals().size(), 6u);
    EXPECT_EQ(refusals()[4],
              "Excluded site attempt: http://bad.example/again (the last of 1 refusal from the "
              "same page within a minute)");
    EXPECT_EQ(refusals()[5], "Excluded site attempt: http://bad.example/next");
    EXPECT_EQ(log.lost(), 0);
}

TEST_F(ActivityLogTest, ARecordThatCanNotBeWrittenIsCountedAndSaid) {
    setAdmin("sLogFileLocation", "/dev/full");
    const auto first = log.visit(kids, "http://a.example/", " 1.00 sec");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first,
              "Not recorded: the activity log /dev/full could not be written: No space left on "
              "device (1 record lost). Free some disk space or tell the administrator.");
    const auto second = log.connection(kids, "Dialup Connection Successful");
    ASSERT_TRUE(second.has_value());
    EXPECT_NE(second->find("(2 records lost)"), std::string::npos) << *second;
    EXPECT_TRUE(log.refusal(kids, 0, "http://bad.example/").has_value());
    EXPECT_EQ(log.lost(), 3);
}

}  // namespace
}  // namespace tarn
