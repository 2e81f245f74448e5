#include "log/log_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "log/log_line.h"
#include "log_fixture.h"
#include "settings/settings_store.h"

namespace tarn {
namespace {

using test::readFile;

class LogWriterTest : public test::LogFixture {
  protected:
    std::string stamp() const { return "2026-03-10 " + formatLogTime(clock.now()); }

    const LogIdentity kids{"Kids", "Ann"};
};

TEST_F(LogWriterTest, FirstRecordCreatesTheFileAndLaterOnesAppend) {
    ASSERT_FALSE(std::filesystem::exists(logFile));
    WriteUrlRecord(kids, "http://a.org/", " 1.25 sec", false, clock);
    WriteUrlRecord(kids, "http://bad.org/", "", true, clock);
    WriteConnectRecord(kids, "Dialup Connection Successful", clock);

    EXPECT_EQ(readFile(logFile), stamp() + " Kids Ann  1.25 sec http://a.org/\r\n" + stamp() +
                                     " Kids Ann Excluded site attempt: http://bad.org/\r\n" +
                                     stamp() + " Ann Dialup Connection Successful\r\n");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(logFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u & ~mask);
}

TEST_F(LogWriterTest, SwitchesAreReadAgainOnEveryRecord) {
    setAdmin("bCommaDelimit", "1");
    setAdmin("bLogGroupId", "0");
    WriteUrlRecord(kids, "http://a.org/", "0.50 sec", false, clock);
    setAdmin("bCommaDelimit", "0");
    setAdmin("bLogElapsed", "0");
    setAdmin("bLogURL", "0");
    setAdmin("bLogGroupId", "1");
    WriteUrlRecord(kids, "http://a.org/", "0.50 sec", false, clock);
    setAdmin("bLogExcluded", "0");
    setAdmin("bLogUserId", "0");
    WriteUrlRecord(kids, "http://bad.org/", "", true, clock);
    setAdmin("bLogConnect", "0");
    WriteConnectRecord(kids, "Dialup disconnection failed", clock);

    std::string comma = stamp();
    comma[10] = ',';
    EXPECT_EQ(readFile(logFile), comma + ",Ann,0.50 sec,http://a.org/\r\n" + stamp() +
                                     " Kids Ann\r\n" + stamp() + " Kids\r\n" + stamp() + "\r\n");
}

TEST_F(LogWriterTest, NothingIsWrittenUnlessLoggingIsEnabled) {
    for (const char* enabled : std::initializer_list<const char*>{"0", "no", nullptr}) {
        if (enabled) {
            setAdmin("bLoggingEnabled", enabled);
        } else {
            clearAdmin();
            setAdmin("sLogFileLocation", logFile.string());
        }
        WriteUrlRecord(kids, "http://a.org/", "0.50 sec", false, clock);
        WriteUrlRecord(kids, "http://bad.org/", "", true, clock);
        WriteConnectRecord(kids, "Dialup Connection Successful", clock);
        EXPECT_FALSE(std::filesystem::exists(logFile))
            << "bLoggingEnabled " << (enabled ? enabled : "absent");
    }
}

TEST_F(LogWriterTest, ARecordThatCanNotBeWrittenIsLostAndSaysWhereAndWhy) {
    const auto missing = root / "no-such-folder" / "activity.log";
    struct Case {
        std::string location;
        std::string reason;
    };
    for (const Case& c : {Case{missing.string(), "No such file or directory"},
                          Case{logFile.parent_path().string(), "Is a directory"},
                          Case{"/dev/full", "No space left on device"}}) {
        setAdmin("sLogFileLocation", c.location);
        const std::string expected =
            "the activity log " + c.location + " could not be written: " + c.reason;
        EXPECT_EQ(WriteUrlRecord(kids, "http://a.org/", "", false, clock), expected);
        EXPECT_EQ(WriteConnectRecord(kids, "Dialup Connection Successful", clock), expected);
    }
    EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
    EXPECT_TRUE(std::filesystem::is_directory(logFile.parent_path()));

    setAdmin("sLogFileLocation", logFile.string());
    EXPECT_EQ(WriteUrlRecord(kids, "http://a.org/", "", false, clock), std::nullopt);
}

TEST_F(LogWriterTest, SettingsThatCanNotBeReadLoseTheRecordAndSaySo) {
    // The machine hive holds the administrative area, and is no settings database.
    SettingsStore(kConfigKey).write_string("", "iUserSet", "1");
    test::writeFile(machineHive, "this is not a hive");
    const auto failure = WriteUrlRecord(kids, "http://bad.org/", "", true, clock);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->rfind("the log settings could not be read: ", 0), 0u) << *failure;
}

TEST_F(LogWriterTest, WindowsStylePathsAreMappedAndTheWriterDefaultIsTarnlog) {
    const auto drive = dataHome / "tarnview" / "c";
    std::filesystem::create_directories(drive / "logs");
    setAdmin("sLogFileLocation", "c:\\logs\\site.log");
    WriteConnectRecord(kids, "Dialup Connection Successful", clock);
    EXPECT_EQ(readFile(drive / "logs" / "site.log"),
              stamp() + " Ann Dialup Connection Successful\r\n");

    clearAdmin();
    setAdmin("bLoggingEnabled", "1");
    WriteConnectRecord(kids, "Dialup Connection Successful", clock);
    EXPECT_EQ(readFile(drive / "tarnlog.log"), stamp() + " Ann Dialup Connection Successful\r\n");
}

TEST_F(LogWriterTest, AMappedDriveExistsLikeADriveRootButFoldersOnItDoNot) {
    const auto drive = dataHome / "tarnview" / "c";
    ASSERT_FALSE(std::filesystem::exists(drive));
    setAdmin("sLogFileLocation", "c:\\missing\\site.log");
    WriteConnectRecord(kids, "Dialup Connection Successful", clock);
    EXPECT_FALSE(std::filesystem::exists(drive / "missing"));

    setAdmin("sLogFileLocation", "c:\\tarnlog.log");
    WriteConnectRecord(kids, "Dialup Connection Successful", clock);
    EXPECT_EQ(readFile(drive / "tarnlog.log"), stamp() + " Ann Dialup Connection Successful\r\n");
}

TEST_F(LogWriterTest, SettingsComeFromTheMachineHiveWhenUserSetSaysSo) {
    SettingsStore(kConfigKey).write_string("", "iUserSet", "1");
    const auto machineLog = root / "logs" / "machine.log";
    setAdmin("bLoggingEnabled", "1");
    setAdmin("sLogFileLocation", machineLog.string());
    WriteConnectRecord(kids, "Dialup Connection Successful", clock);
    EXPECT_EQ(readFile(machineLog), stamp() + " Ann Dialup Connection Successful\r\n");
    EXPECT_FALSE(std::filesystem::exists(logFile));
}

}  // namespace
}  // namespace tarn
