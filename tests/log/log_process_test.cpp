// The log under several real processes: two copies appending at once, and a cleanup killed at
// different moments. The other processes are the log_helper program with the test's hives.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "log/log_cleanup.h"
#include "log_fixture.h"
#include "platform/date.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// A running log_helper whose standard output is a pipe the test reads.
class Helper {
  public:
    explicit Helper(std::vector<std::string> args) {
        args.insert(args.begin(), TARN_LOG_HELPER);
        std::vector<char*> argv;
        for (std::string& word : args) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        int output[2];
        if (pipe2(output, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(output[1], STDOUT_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(output[1]);
        output_ = output[0];
    }
    ~Helper() {
        if (pid_ > 0) {
            kill();
        }
        close(output_);
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // Reads output lines until `word` arrives; false when the output ends or 60 s pass first.
    bool waitFor(const std::string& word) {
        std::string current;
        for (;;) {
            pollfd ready{output_, POLLIN, 0};
            if (poll(&ready, 1, 60000) != 1) {
                return false;
            }
            char c;
            if (read(output_, &c, 1) != 1) {
                return false;
            }
            if (c != '\n') {
                current += c;
            } else if (current == word) {
                return true;
            } else {
                current.clear();
            }
        }
    }

    // The exit code, or -1 when the helper did not exit normally.
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void kill() {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int output_ = -1;
};

using LogProcessTest = test::LogFixture;

TEST_F(LogProcessTest, TwoCopiesAppendingLeaveEveryLineWhole) {
    constexpr int kLines = 10000;
    Helper first({"write", "A", std::to_string(kLines)});
    Helper second({"write", "B", std::to_string(kLines)});
    ASSERT_EQ(first.wait(), 0);
    ASSERT_EQ(second.wait(), 0);

    const std::string log = readFile(logFile);
    const std::regex record(
        R"(\d{4}-\d\d-\d\d \S+ Group User  0\.25 sec http://example\.org/([AB])/(\d+)/(p*)\r)");
    std::map<std::string, std::set<int>> seen;
    size_t lines = 0;
    size_t torn = 0;
    for (size_t start = 0; start < log.size(); ++lines) {
        size_t end = log.find('\n', start);
        end = end == std::string::npos ? log.size() : end;
        std::smatch parts;
        const std::string text = log.substr(start, end - start);
        if (std::regex_match(text, parts, record) &&
            parts[3].length() == std::stoi(parts[2].str()) % 97) {
            seen[parts[1].str()].insert(std::stoi(parts[2].str()));
        } else {
            ++torn;
        }
        start = end + 1;
    }
    EXPECT_EQ(lines, 2u * kLines);
    EXPECT_EQ(torn, 0u);
    EXPECT_EQ(seen["A"].size(), static_cast<size_t>(kLines));
    EXPECT_EQ(seen["B"].size(), static_cast<size_t>(kLines));
}

// Whenever the cleanup dies, the log's path holds the whole old log or the whole new one.
TEST_F(LogProcessTest, KilledCleanupLeavesTheOldLogOrTheNewOne) {
    std::string old, expected;
    const auto today = std::chrono::sys_days{std::chrono::year{2026} / 3 / 10};
    for (int i = 0; old.size() < 30 * 1024 * 1024; ++i) {
        const auto day = today - std::chrono::days{i % 16};
        const std::string text = formatDate(std::chrono::year_month_day{day}) +
                                 " 10:00:00 Group User http://example.org/" + std::to_string(i) +
                                 std::string(static_cast<size_t>(i % 61), 'q') + "\r\n";
        old += text;
        if (i % 16 <= 7) {
            expected += text;
        }
    }
    recordLastRun("2026-03-09");
    auto restore = [&] {
        for (const auto& entry : fs::directory_iterator(logFile.parent_path())) {
            fs::remove(entry.path());
        }
        writeFile(logFile, old);
    };

    restore();
    Helper whole({"cleanup", "2026-03-10"});
    ASSERT_TRUE(whole.waitFor("go"));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(whole.waitFor("done"));
    const auto duration = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(whole.wait(), 0);
    ASSERT_TRUE(readFile(logFile) == expected) << "the cleanup itself went wrong";

    constexpr int kKills = 8;
    int oldSeen = 0;
    int newSeen = 0;
    for (int k = 0; k < kKills; ++k) {
        restore();
        Helper victim({"cleanup", "2026-03-10"});
        ASSERT_TRUE(victim.waitFor("go"));
        std::this_thread::sleep_for(duration * k / (kKills - 1));
        victim.kill();
        const std::string left = readFile(logFile);
        const bool isOld = left == old;
        const bool isNew = left == expected;
        EXPECT_TRUE(isOld || isNew) << "kill " << k << " left " << left.size() << " bytes";
        oldSeen += isOld;
        newSeen += isNew;
    }
    std::printf("cleanup of %zu bytes took %.1f ms; killed %d times: old log %d, new log %d\n",
                old.size(), std::chrono::duration<double, std::milli>(duration).count(), kKills,
                oldSeen, newSeen);
}

}  // namespace
}  // namespace tarn
