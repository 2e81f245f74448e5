// Log cleanup of a large activity log beside a plain copy of the same file, against the target
// of at most 3 times the copy. Usage: log_cleanup_bench [size in MB, default 1024]. The files go
// to a temporary folder on the temporary-files disk and are removed afterwards.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "log/log_rewrite.h"
#include "platform/date.h"

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

constexpr std::uintmax_t kMegabyte = 1024 * 1024;
constexpr int kKeepDays = 7;
constexpr int kRounds = 3;
constexpr double kTargetRatio = 3.0;
// The original, a working copy, the baseline's copy or the backup, and the new log at once.
constexpr std::uintmax_t kSpaceFactor = 4;

const std::chrono::year_month_day kToday{std::chrono::year{2026} / 3 / 10};

// Records of the last 16 days in turn, so about half of them are older than the kept week.
std::uintmax_t writeLog(const fs::path& file, std::uintmax_t bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::string block;
    std::uintmax_t kept = 0;
    const auto today = std::chrono::sys_days{kToday};
    for (std::uintmax_t written = 0, i = 0; written < bytes; ++i) {
        const int age = static_cast<int>(i % 16);
        std::string line =
            tarn::formatDate(std::chrono::year_month_day{today - std::chrono::days{age}}) +
            " 10:" + std::to_string(10 + i % 50) + ":" + std::to_string(10 + i % 49) + " AM Group" +
            std::to_string(i % 7) + " User" + std::to_string(i % 31) +
            "  0.25 sec http://www.example.org/path/" + std::to_string(i) + "/" +
            std::string(i % 40, 'p') + "\r\n";
        written += line.size();
        kept += age <= kKeepDays ? line.size() : 0;
        block += line;
        if (block.size() > 4 * kMegabyte) {
            out << block;
            block.clear();
        }
    }
    out << block;
    return kept;
}

double seconds(const std::function<void()>& step) {
    const auto start = Steady::now();
    step();
    return std::chrono::duration<double>(Steady::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::uintmax_t megabytes = argc > 1 ? std::stoull(argv[1]) : 1024;
    std::string pattern = (fs::temp_directory_path() / "tarnview-log-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    const std::uintmax_t available = fs::space(folder).available;
    if (megabytes * kMegabyte * kSpaceFactor > available) {
        megabytes = available / kSpaceFactor / kMegabyte;
        std::printf("only %ju MB free in %s: the log is cut to %ju MB\n", available / kMegabyte,
                    folder.c_str(), megabytes);
    }
    const fs::path original = folder / "original.log";
    const fs::path log = folder / "tarnview.log";
    const fs::path copy = folder / "copy.log";
    const std::uintmax_t kept = writeLog(original, megabytes * kMegabyte);
    const std::uintmax_t size = fs::file_size(original);

    std::vector<double> copies, cleanups;
    bool ok = true;
    for (int round = 0; round < kRounds && ok; ++round) {
        fs::copy_file(original, log, fs::copy_options::overwrite_existing);
        ::sync();
        copies.push_back(seconds([&] { fs::copy_file(log, copy); }));
        fs::remove(copy);
        ::sync();
        cleanups.push_back(seconds([&] { ok = tarn::pruneLogFile(log, kToday, kKeepDays); }));
        ok = ok && fs::file_size(log) == kept;
        ::sync();
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!ok) {
        std::printf("the cleanup failed or kept the wrong amount\n");
        return 1;
    }

    const double copyTime = median(copies);
    const double cleanupTime = median(cleanups);
    const double ratio = cleanupTime / copyTime;
    std::printf("log of %.0f MB, %.0f%% kept (median of %d rounds)\n",
                static_cast<double>(size) / kMegabyte, 100.0 * kept / size, kRounds);
    std::printf("cleanup (backup, rewrite, fsync, rename) %8.3f s\n", cleanupTime);
    std::printf("plain copy of the log                    %8.3f s\n", copyTime);
    std::printf("ratio %.2f   target <= %.2f: %s\n", ratio, kTargetRatio,
                ratio <= kTargetRatio ? "PASS" : "FAIL");
    return 0;
}
