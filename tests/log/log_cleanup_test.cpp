#include "log/log_cleanup.h"

#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "log/log_rewrite.h"
#include "log_fixture.h"
#include "platform/date.h"
#include "settings/settings_store.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The clock stands at 2026-03-10; the last run was the day before unless a test says otherwise.
class LogCleanupTest : public test::LogFixture {
  protected:
    void SetUp() override {
        LogFixture::SetUp();
        recordLastRun("2026-03-09");
    }

    void runCleanup() {
        CleanupLog(clock, [this](const std::string& text) { statuses.push_back(text); });
    }

    fs::path backupFile() const { return logFile.parent_path() / "tarnview.bak"; }

    std::vector<std::string> statuses;
};

std::string line(std::string_view date,
                 std::string_view rest = " 10:00:00 Kids Ann http://a.org/") {
    return std::string(date) + std::string(rest) + "\r\n";
}

TEST_F(LogCleanupTest, KeepsRecordsOfTheLastKeepDaysAndBacksUpTheWholeLog) {
    struct Case {
        int keepDays;
        std::vector<const char*> dates;
        std::vector<const char*> kept;
    };
    const Case cases[] = {
        {1, {"2026-03-09", "2026-03-09"}, {"2026-03-09", "2026-03-09"}},
        {2, {"2026-03-07", "2026-03-07", "2026-03-07"}, {}},
        {7,
         {"2025-03-10", "2026-03-02", "2026-03-03", "2026-03-09", "2026-03-10", "2026-03-11"},
         {"2026-03-03", "2026-03-09", "2026-03-10", "2026-03-11"}},
        {10,
         {"2026-02-27", "2026-02-28", "2026-02-27", "2026-03-01"},
         {"2026-02-28", "2026-03-01"}},
        {365, {"2025-03-10", "2025-03-09", "2099-01-01"}, {"2025-03-10", "2099-01-01"}},
        {2147483647, {"1900-01-01", "2026-03-10"}, {"1900-01-01", "2026-03-10"}},
    };
    for (const Case& c : cases) {
        std::string log, expected;
        for (const char* date : c.dates) {
            log += line(date);
        }
        for (const char* date : c.kept) {
            expected += line(date);
        }
        writeFile(logFile, log);
        fs::permissions(logFile, fs::perms::owner_read | fs::perms::owner_write);
        const auto written = fs::file_time_type::clock::now() - std::chrono::hours(30);
        fs::last_write_time(logFile, written);
        setAdmin("iLogKeepDays", std::to_string(c.keepDays));
        statuses.clear();

        runCleanup();

        EXPECT_EQ(readFile(logFile), expected) << "keep " << c.keepDays;
        EXPECT_EQ(readFile(backupFile()), log) << "keep " << c.keepDays;
        EXPECT_EQ(fs::last_write_time(backupFile()), written);
        EXPECT_EQ(fs::status(logFile).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_THAT(statuses, ElementsAre("Running log cleanup...", ""));
        EXPECT_EQ(std::distance(fs::directory_iterator(logFile.parent_path()), {}), 2)
            << "a temporary file was left behind";
    }
}

TEST_F(LogCleanupTest, DefaultKeepsSevenDaysBeforeToday) {
    writeFile(logFile, line("2026-03-02") + line("2026-03-03"));
    runCleanup();
    EXPECT_EQ(readFile(logFile), line("2026-03-03"));
}

TEST_F(LogCleanupTest, LinesWithoutADateAreNeverDropped) {
    const std::string log = "Tarnview activity log\r\n" + line("2020-01-01") + "\r\n" + "x\n" +
                            line("2026-13-01") + line("2026-02-30") + line("2020-1-01", "xx") +
                            line("2026-03-10") + line("2020-01-01") + "tail";
    writeFile(logFile, log);
    runCleanup();
    EXPECT_EQ(readFile(logFile), "Tarnview activity log\r\n\r\nx\n" + line("2026-13-01") +
                                     line("2026-02-30") + line("2020-1-01", "xx") +
                                     line("2026-03-10") + "tail");
}

// Lines of every length around the reading block's size, so that line ends and dates fall on
// block edges, with a last line that has no line end.
TEST_F(LogCleanupTest, LinesAcrossReadingBlocksAreKeptWhole) {
    std::string log, expected;
    for (int i = 0; log.size() < 3 * 1024 * 1024; ++i) {
        const bool old = i % 3 == 0;
        const bool undated = i % 7 == 0;
        std::string text = undated ? std::string(static_cast<size_t>(i % 13), 'u')
                                   : std::string(old ? "2026-01-01" : "2026-03-08") + " " +
                                         std::string(static_cast<size_t>(i * 7919 % 20011), 'x');
        text += i % 5 == 0 ? "\n" : "\r\n";
        log += text;
        if (undated || !old) {
            expected += text;
        }
    }
    log += "2026-03-08 no line end";
    expected += "2026-03-08 no line end";
    writeFile(logFile, log);
    runCleanup();
    EXPECT_TRUE(readFile(logFile) == expected);
    EXPECT_TRUE(readFile(backupFile()) == log);
}

TEST_F(LogCleanupTest, RunsOnlyOnTheFirstStartOfANewDay) {
    const std::string log = line("2020-01-01");
    for (const char* lastRun : {"2026-03-10", ""}) {
        recordLastRun(lastRun);
        writeFile(logFile, log);
        runCleanup();
        EXPECT_EQ(readFile(logFile), log) << "last run '" << lastRun << "'";
        EXPECT_FALSE(fs::exists(backupFile()));
        EXPECT_THAT(statuses, IsEmpty());
    }
    EXPECT_EQ(SettingsStore(kConfigKey).read_string("", "sLastRunDate", "?"), "");
}

TEST_F(LogCleanupTest, KeepDaysZeroKeepsEverything) {
    const std::string log = line("2020-01-01") + line("2026-03-10");
    for (const char* keepDays : {"0", "-3"}) {
        setAdmin("iLogKeepDays", keepDays);
        writeFile(logFile, log);
        statuses.clear();
        runCleanup();
        EXPECT_EQ(readFile(logFile), log) << keepDays;
        EXPECT_FALSE(fs::exists(backupFile())) << keepDays;
        EXPECT_THAT(statuses, ElementsAre("Running log cleanup...", ""));
    }
}

TEST_F(LogCleanupTest, MissingLogOnlyClearsTheStatus) {
    runCleanup();
    EXPECT_FALSE(fs::exists(logFile));
    EXPECT_FALSE(fs::exists(backupFile()));
    EXPECT_THAT(statuses, ElementsAre("Running log cleanup...", ""));
}

TEST_F(LogCleanupTest, FailedBackupLeavesTheLogUntouched) {
    const std::string log = line("2020-01-01") + line("2026-03-10");
    // A folder where the backup belongs cannot be overwritten.
    writeFile(logFile, log);
    fs::create_directory(backupFile());
    runCleanup();
    EXPECT_EQ(readFile(logFile), log);
    fs::remove(backupFile());

    // A log that is itself named like the backup would be emptied by copying it onto itself.
    setAdmin("sLogFileLocation", backupFile().string());
    writeFile(backupFile(), log);
    runCleanup();
    EXPECT_EQ(readFile(backupFile()), log);
    EXPECT_EQ(std::distance(fs::directory_iterator(logFile.parent_path()), {}), 2);
}

TEST_F(LogCleanupTest, LogReachedThroughALinkStaysALink) {
    const auto real = root / "real.log";
    writeFile(real, line("2020-01-01") + line("2026-03-10"));
    fs::create_symlink(real, logFile);
    runCleanup();
    EXPECT_TRUE(fs::is_symlink(logFile));
    EXPECT_EQ(readFile(real), line("2026-03-10"));
}

bool becomeNobody() {
    constexpr gid_t kNobody = 65534;
    return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0 &&
           geteuid() == kNobody;
}

// Several accounts append to one shared log. Each cleanup runs in a child process, as root or
// as an account that may not give files away, and reports through its exit status whether it
// replaced the log.
TEST_F(LogCleanupTest, SharedLogKeepsItsOwnerOrStaysAsItWas) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "giving the log to other accounts needs root";
    }
    constexpr uid_t kOwner = 12345;
    constexpr gid_t kGroup = 12346;
    constexpr int kReplaced = 0;
    constexpr int kKept = 1;
    constexpr int kNoAccount = 2;
    struct Case {
        const char* cleaner;
        bool asNobody;
        int status;
    };
    const Case cases[] = {{"root", false, kReplaced}, {"nobody", true, kKept}};
    // Nobody can reach the log and write in its folder, so only its owner can stop the rename.
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(logFile.parent_path(), fs::perms::all);
    const std::string log = line("2020-01-01") + line("2026-03-10");
    const auto today = *parseDate("2026-03-10");
    for (const Case& c : cases) {
        writeFile(logFile, log);
        ASSERT_EQ(chown(logFile.c_str(), kOwner, kGroup), 0);
        ASSERT_EQ(chmod(logFile.c_str(), 0664), 0);
        // A backup left by root would stop nobody's cleanup before it reaches the owner.
        fs::remove(backupFile());

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (c.asNobody && !becomeNobody()) {
                _exit(kNoAccount);
            }
            _exit(pruneLogFile(logFile, today, 7) ? kReplaced : kKept);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << c.cleaner;
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.cleaner;

        EXPECT_EQ(readFile(logFile), c.status == kReplaced ? line("2026-03-10") : log) << c.cleaner;
        struct stat info {};
        ASSERT_EQ(lstat(logFile.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, kOwner) << c.cleaner;
        EXPECT_EQ(info.st_gid, kGroup) << c.cleaner;
        EXPECT_EQ(info.st_mode & 07777, 0664u) << c.cleaner;
        EXPECT_EQ(readFile(backupFile()), log) << c.cleaner;
        EXPECT_EQ(std::distance(fs::directory_iterator(logFile.parent_path()), {}), 2)
            << c.cleaner << " left a temporary file behind";
    }
}

TEST_F(LogCleanupTest, WindowsStyleLocationAndTheCleanupDefault) {
    const auto drive = dataHome / "tarnview" / "c";
    writeFile(drive / "tarnview.log", line("2020-01-01") + line("2026-03-10"));
    clearAdmin();
    runCleanup();
    EXPECT_EQ(readFile(drive / "tarnview.log"), line("2026-03-10"));
    EXPECT_EQ(readFile(drive / "tarnview.bak"), line("2020-01-01") + line("2026-03-10"));
}

}  // namespace
}  // namespace tarn
