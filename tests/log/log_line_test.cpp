#include "log/log_line.h"

#include <gtest/gtest.h>

#include <clocale>

namespace tarn {
namespace {

LogSwitches allOff() {
    return {false, false, false, false, false, false, false};
}

TEST(LogLine, FieldsBySwitchAndRecordKind) {
    const LogSwitches on;
    LogSwitches comma;
    comma.bCommaDelimit = true;
    LogSwitches noGroup;
    noGroup.bLogGroupId = false;
    LogSwitches noUser;
    noUser.bLogUserId = false;
    LogSwitches noUrl;
    noUrl.bLogURL = false;
    LogSwitches noElapsed;
    noElapsed.bLogElapsed = false;
    LogSwitches noExcluded;
    noExcluded.bLogExcluded = false;
    LogSwitches noConnect;
    noConnect.bLogConnect = false;

    const auto visit = LogRecordKind::Visit;
    const auto refusal = LogRecordKind::Refusal;
    const auto connection = LogRecordKind::Connection;
    struct Case {
        LogRecordKind kind;
        LogSwitches switches;
        const char* loadTime;
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {visit, on, " 1.25 sec", "http://a.org/",
         "2026-03-10 10:11:12 Kids Ann  1.25 sec http://a.org/"},
        {visit, comma, " 1.25 sec", "http://a.org/",
         "2026-03-10,10:11:12,Kids,Ann, 1.25 sec,http://a.org/"},
        {visit, noGroup, "0.50 sec", "http://a.org/",
         "2026-03-10 10:11:12 Ann 0.50 sec http://a.org/"},
        {visit, noUser, "0.50 sec", "http://a.org/",
         "2026-03-10 10:11:12 Kids 0.50 sec http://a.org/"},
        {visit, noUrl, "0.50 sec", "http://a.org/", "2026-03-10 10:11:12 Kids Ann 0.50 sec"},
        {visit, noElapsed, "0.50 sec", "http://a.org/",
         "2026-03-10 10:11:12 Kids Ann http://a.org/"},
        {visit, on, "", "http://a.org/", "2026-03-10 10:11:12 Kids Ann http://a.org/"},
        {visit, on, "0.50 sec", "", "2026-03-10 10:11:12 Kids Ann 0.50 sec"},
        {visit, allOff(), "0.50 sec", "http://a.org/", "2026-03-10 10:11:12"},
        {refusal, on, "", "http://bad.org/",
         "2026-03-10 10:11:12 Kids Ann Excluded site attempt: http://bad.org/"},
        {refusal, comma, "", "http://bad.org/",
         "2026-03-10,10:11:12,Kids,Ann,Excluded site attempt: http://bad.org/"},
        {refusal, noExcluded, "", "http://bad.org/", "2026-03-10 10:11:12 Kids Ann"},
        {refusal, on, "", "", "2026-03-10 10:11:12 Kids Ann"},
        {refusal, noUrl, "", "http://bad.org/",
         "2026-03-10 10:11:12 Kids Ann Excluded site attempt: http://bad.org/"},
        {connection, on, "", "Dialup Connection Successful",
         "2026-03-10 10:11:12 Ann Dialup Connection Successful"},
        {connection, comma, "", "Dialup Connection Successful",
         "2026-03-10,10:11:12,Ann,Dialup Connection Successful"},
        {connection, noConnect, "", "Dialup Connection Successful", "2026-03-10 10:11:12 Ann"},
        {connection, noUser, "", "Dialup disconnection failed",
         "2026-03-10 10:11:12 Dialup disconnection failed"},
        {connection, allOff(), "", "Dialup disconnection failed", "2026-03-10 10:11:12"},
        // An event text ending in the separator loses that one character, as any line does.
        {connection, comma, "", "odd event,", "2026-03-10,10:11:12,Ann,odd event"},
    };
    for (const Case& c : cases) {
        LogRecord record;
        record.kind = c.kind;
        record.date = "2026-03-10";
        record.time = "10:11:12";
        record.group = "Kids";
        record.user = "Ann";
        record.loadTime = c.loadTime;
        record.text = c.text;
        EXPECT_EQ(buildLogLine(record, c.switches), std::string(c.line) + "\r\n")
            << "kind " << static_cast<int>(c.kind) << ", text '" << c.text << "'";
    }
}

TEST(LogLine, ALongAddressIsCutAndSaysSoAndARefusalCarriesItsNote) {
    const std::string prefix = "2026-03-10 14:05:09 Kids Ann Excluded site attempt: ";
    LogRecord refusal{LogRecordKind::Refusal, "2026-03-10", "14:05:09", "Kids", "Ann"};
    // Two-byte characters straddle the cut at either parity; it never splits one.
    for (const size_t padding : {0, 1}) {
        std::string address = "http://bad.example/" + std::string(padding, 'p');
        for (size_t i = 0; i < 1100; ++i)
            address += "\xC3\xA9";
        refusal.text = address;
        const std::string line = buildLogLine(refusal, LogSwitches{});
        const size_t cut = line.find("... (cut, ");
        ASSERT_NE(cut, std::string::npos) << padding;
        EXPECT_LE(cut, prefix.size() + kLoggedAddressLength);
        EXPECT_GE(cut, prefix.size() + kLoggedAddressLength - 1);
        EXPECT_NE(static_cast<unsigned char>(line[cut - 1]), 0xC3) << "half a character";
        EXPECT_EQ(line.substr(cut),
                  "... (cut, " + std::to_string(address.size()) + " characters in all)\r\n");
    }

    const std::string longAddress = "http://bad.example/?" + std::string(1000000, 'x');
    refusal.text = longAddress;
    refusal.note = "(the last of 3 refusals from the same page within a minute)";
    EXPECT_EQ(buildLogLine(refusal, LogSwitches{}),
              prefix + longAddress.substr(0, kLoggedAddressLength) +
                  "... (cut, 1000020 characters in all) (the last of 3 refusals from the same "
                  "page within a minute)\r\n");

    const LogRecord visit{LogRecordKind::Visit, "2026-03-10", "14:05:09", "Kids", "Ann",
                          " 1.00 sec",          longAddress};
    EXPECT_EQ(buildLogLine(visit, LogSwitches{}), "2026-03-10 14:05:09 Kids Ann  1.00 sec " +
                                                      longAddress.substr(0, kLoggedAddressLength) +
                                                      "... (cut, 1000020 characters in all)\r\n");

    // An address of the longest length is kept whole.
    const std::string whole(kLoggedAddressLength, 'w');
    refusal.text = whole;
    refusal.note = {};
    EXPECT_EQ(buildLogLine(refusal, LogSwitches{}), prefix + whole + "\r\n");
}

TEST(LogLine, EmptyIdentityFieldsAreLeftOut) {
    LogRecord record;
    record.date = "2026-03-10";
    record.time = "10:11:12";
    record.text = "http://a.org/";
    EXPECT_EQ(buildLogLine(record, {}), "2026-03-10 10:11:12 http://a.org/\r\n");
}

TEST(LogLine, TenCharacterTimeIsPadded) {
    struct Case {
        const char* time;
        bool comma;
        const char* line;
    };
    const Case cases[] = {
        {"9:05:07 AM", false, "2026-03-10 9:05:07 AM  Ann http://a.org/"},
        {"09:05:07 AM", false, "2026-03-10 09:05:07 AM Ann http://a.org/"},
        {"9:05:07 AM", true, "2026-03-10,9:05:07 AM ,Ann,http://a.org/"},
        {"09:05:07 AM", true, "2026-03-10,09:05:07 AM,Ann,http://a.org/"},
        {"09:05:07", false, "2026-03-10 09:05:07 Ann http://a.org/"},
        // Characters, not bytes: a multi-byte mark counts once.
        {"9:05:07 午前", false, "2026-03-10 9:05:07 午前  Ann http://a.org/"},
        {"9:05:07 àm", false, "2026-03-10 9:05:07 àm  Ann http://a.org/"},
        {"09:05:07 午前", false, "2026-03-10 09:05:07 午前 Ann http://a.org/"},
    };
    for (const Case& c : cases) {
        LogRecord record;
        record.date = "2026-03-10";
        record.time = c.time;
        record.user = "Ann";
        record.text = "http://a.org/";
        LogSwitches switches;
        switches.bCommaDelimit = c.comma;
        EXPECT_EQ(buildLogLine(record, switches), std::string(c.line) + "\r\n") << c.time;
    }
}

TEST(LogLine, PaddedTimeKeepsItsSpaceWhenEveryFieldIsOff) {
    LogRecord record;
    record.date = "2026-03-10";
    record.time = "9:05:07 AM";
    record.text = "http://a.org/";
    EXPECT_EQ(buildLogLine(record, allOff()), "2026-03-10 9:05:07 AM \r\n");
}

TEST(LogLine, TimeFollowsTheLocaleLongFormat) {
    std::setlocale(LC_TIME, "C");
    ManualClock clock;
    clock.setLocal(2026, 3, 10, 7, 5, 9);
    EXPECT_EQ(formatLogTime(clock.now()), "07:05:09");
}

}  // namespace
}  // namespace tarn
