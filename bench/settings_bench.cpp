// Cost of settings reads and durable writes on a hive of 100,000 values, beside the same
// operations on a std::unordered_map, against the targets of the settings store.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench_folder.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKeys = 100;
constexpr int kValuesPerKey = 1000;
constexpr int kReads = 20000;
constexpr int kWrites = 1000;
constexpr int kShortLived = 5000;
constexpr double kReadTargetUs = 20;
constexpr double kWriteTargetUs = 1000;
// Write runs stop early past this, so the whole run stays short on a slow disk.
constexpr auto kWriteBudget = std::chrono::seconds(8);

struct Figures {
    double median;
    double p90;
};

// Times each call of `op(i)` on its own, in microseconds.
Figures measure(int count, const std::function<void(int)>& op,
                Clock::duration budget = Clock::duration::max()) {
    std::vector<double> costs;
    costs.reserve(static_cast<size_t>(count));
    const auto end =
        budget == Clock::duration::max() ? Clock::time_point::max() : Clock::now() + budget;
    for (int i = 0; i < count && Clock::now() < end; ++i) {
        const auto start = Clock::now();
        op(i);
        costs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(costs.begin(), costs.end());
    return {costs[costs.size() / 2], costs[costs.size() * 9 / 10]};
}

void report(const char* what, Figures store, Figures baseline, const char* baselineName,
            double target) {
    std::printf("%-34s median %9.2f us  p90 %9.2f us   %s: median %7.3f us  p90 %7.3f us", what,
                store.median, store.p90, baselineName, baseline.median, baseline.p90);
    if (target > 0) {
        std::printf("   target <= %.0f us: %s", target, store.median <= target ? "PASS" : "FAIL");
    }
    std::printf("\n");
}

std::string section(int key) {
    return "Bench\\Key" + std::to_string(key);
}
std::string valueName(int index) {
    return "sValue" + std::to_string(index);
}
std::string valueData(int key, int index) {
    return "http://example.org/" + std::to_string(key) + "/" + std::to_string(index);
}

// What the disk itself charges for one durable write: 100 bytes and fdatasync.
Figures rawDurableWrite(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / "fsync.probe";
    const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
    const std::string record(100, 'x');
    const Figures figures = measure(
        kWrites,
        [&](int i) {
            if (::pwrite(fd, record.data(), record.size(), static_cast<off_t>(i) * 100) < 0 ||
                ::fdatasync(fd) != 0) {
                std::perror("probe write");
            }
        },
        kWriteBudget);
    ::close(fd);
    return figures;
}

int run(const std::filesystem::path& folder) {
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    setenv("TARNVIEW_MACHINE_HIVE", (folder / "machine.hive").c_str(), 1);
    std::printf("hive folder: %s\n", folder.c_str());

    std::unordered_map<std::string, std::string> map;
    tarn::SettingsStore store(tarn::kTarnviewRoot);
    const auto buildStart = Clock::now();
    store.in_transaction([&] {
        for (int key = 0; key < kKeys; ++key) {
            for (int index = 0; index < kValuesPerKey; ++index) {
                store.write_string(section(key), valueName(index), valueData(key, index));
                map.emplace(section(key) + "\\" + valueName(index), valueData(key, index));
            }
        }
    });
    std::printf("built %d values in %.2f s\n\n", kKeys * kValuesPerKey,
                std::chrono::duration<double>(Clock::now() - buildStart).count());

    std::mt19937 random(20240601);
    std::vector<std::pair<std::string, std::string>> picks;  // section, name
    for (int i = 0; i < std::max(kReads, kWrites); ++i) {
        picks.emplace_back(section(static_cast<int>(random() % kKeys)),
                           valueName(static_cast<int>(random() % kValuesPerKey)));
    }
    std::vector<std::string> mapKeys;
    for (const auto& [sectionName, name] : picks) {
        mapKeys.push_back(sectionName + "\\" + name);
    }

    size_t sink = 0;  // keeps the reads from being optimised away
    const Figures read = measure(kReads, [&](int i) {
        sink += store.read_string(picks[i].first, picks[i].second, "").size();
    });
    const Figures mapRead = measure(kReads, [&](int i) { sink += map.at(mapKeys[i]).size(); });
    report("read_string (open store)", read, mapRead, "unordered_map", kReadTargetUs);

    const Figures shortLived = measure(kShortLived, [&](int i) {
        tarn::SettingsStore once(tarn::kTarnviewRoot);
        sink += once.read_string(picks[i].first, picks[i].second, "").size();
    });
    report("new SettingsStore + read_string", shortLived, mapRead, "unordered_map", 0);

    const Figures write = measure(
        kWrites, [&](int i) { store.write_string(picks[i].first, picks[i].second, "changed"); },
        kWriteBudget);
    const Figures mapWrite = measure(kWrites, [&](int i) { map[mapKeys[i]] = "changed"; });
    report("durable write_string", write, mapWrite, "unordered_map", kWriteTargetUs);
    const Figures raw = rawDurableWrite(folder);
    report("  this disk: 100 B pwrite+fdatasync", raw, mapWrite, "unordered_map", 0);

    return sink == 0 ? 1 : 0;
}

}  // namespace

int main() {
    return tarn::bench::runInTemporaryFolder("settings_bench", run);
}
