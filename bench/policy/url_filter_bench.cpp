// The URL filter on blocklist-sized lists (a million exclusion lines from a file, ten thousand
// words, a thousand inclusion entries), assembled at sign-on as the program does (built cold,
// then taken from the cache), beside the entry-by-entry loop with std::string::find and reading
// the list file alone, against the targets for the filter. `url_filter_bench 5000000` runs it
// with five million lines.
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "platform/ascii_case.h"
#include "platform/paths.h"
#include "policy/list_build.h"
#include "policy/navigation_policy.h"
#include "policy/url_filter.h"
#include "settings/group_lists.h"
#include "settings/list_sources.h"
#include "settings/site_lists.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMillion = 1'000'000;
constexpr int kWords = 10'000;
constexpr int kInclusions = 1'000;
constexpr int kAddresses = 200'000;
// The plain loop costs milliseconds a decision, so it sees every n-th address only.
constexpr int kBaselineEvery = 1'000;
constexpr double kDecisionTargetUs = 20;
// Per million lines: building cold, and taking the filter from the cache.
constexpr double kColdTargetS = 1;
constexpr double kWarmTargetS = 0.1;
// What the process may hold beyond the filter's own memory once the lists are assembled.
constexpr double kMemoryMargin = 0.2;
constexpr char kListName[] = "Bench";

double residentMb() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

double peakResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stod(line.substr(6)) / 1e3;  // kB
        }
    }
    return 0;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    size_t below(size_t n) { return random_() % n; }

    std::string label(size_t minLength, size_t maxLength) {
        static const std::string kChars = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::string text(minLength + below(maxLength - minLength + 1), ' ');
        for (char& c : text) {
            c = kChars[below(26)];
        }
        if (below(4) == 0) {
            text.back() = kChars[26 + below(10)];
        }
        return text;
    }

    // Blocklist lines: ad, tracking and other hosts, some with a path.
    std::string blockedSite() {
        static const std::array<const char*, 8> kPrefixes = {"ads.",   "track.", "",     "",
                                                             "stats.", "cdn.",   "www.", "pix."};
        std::string site = kPrefixes[below(kPrefixes.size())] + label(8, 18) + "." + tld();
        if (below(10) == 0) {
            site += "/" + label(3, 8);
        }
        return site;
    }

    std::string word() {
        static const std::array<const char*, 24> kSyllables = {
            "ka",  "ro",  "zen", "tal", "mir", "qu",  "vex", "dor", "pli", "sna", "gru", "tho",
            "bex", "lun", "far", "wik", "oss", "yel", "cra", "nim", "hup", "zor", "eft", "jav"};
        std::string text;
        const size_t syllables = 3 + below(2);
        for (size_t i = 0; i < syllables; ++i) {
            text += kSyllables[below(kSyllables.size())];
        }
        return text;
    }

    std::string schoolSite() { return "www." + label(4, 10) + "-school." + tld(); }

    std::string path() {
        std::string text;
        const size_t segments = 1 + below(4);
        for (size_t i = 0; i < segments; ++i) {
            text += "/" + label(2, 10);
        }
        if (below(3) == 0) {
            text += "?id=" + std::to_string(below(100000)) + "&q=" + label(3, 8);
        }
        return text;
    }

    // A long address as pages make them: 120 to 260 characters, one in ten 300 or more, with
    // escaped blanks, letters and slashes.
    std::string longAddress() {
        std::string address = "https://www." + label(5, 12) + ".com";
        const size_t length = below(10) == 0 ? 300 + below(100) : 120 + below(140);
        while (address.size() < length) {
            address += "/" + label(3, 10);
            if (below(4) == 0) {
                address += "%20" + label(2, 6);
            }
            if (below(6) == 0) {
                address += "%C3%A9";
            }
        }
        return address + "?ref=" + label(4, 8) + "%2F" + label(3, 6);
    }

    // Escapes one letter of the word, sometimes twice over.
    std::string escaped(std::string word) {
        const size_t at = below(word.size());
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(word[at]));
        return word.substr(0, at) + (below(2) == 0 ? "%" : "%25") + hex + word.substr(at + 1);
    }

  private:
    std::string tld() {
        static const std::array<const char*, 9> kTlds = {"com", "net", "org",   "info", "biz",
                                                         "ru",  "io",  "co.uk", "xyz"};
        return kTlds[below(kTlds.size())];
    }

    std::mt19937 random_;
};

struct Lists {
    std::vector<std::string> blocked, words, schools;
};

Lists generate(Generator& gen, int exclusions) {
    Lists lists;
    lists.blocked.reserve(static_cast<size_t>(exclusions));
    for (int i = 0; i < exclusions; ++i) {
        lists.blocked.push_back(gen.blockedSite());
    }
    for (int i = 0; i < kWords; ++i) {
        lists.words.push_back(gen.word());
    }
    for (int i = 0; i < kInclusions; ++i) {
        lists.schools.push_back(gen.schoolSite());
    }
    return lists;
}

// A mix of what a pupil's panes ask for: school pages, blocked hosts, pages with a listed word
// (plain or escaped), mail links and everything else.
std::vector<std::string> addresses(Generator& gen, const Lists& lists) {
    std::vector<std::string> result;
    result.reserve(kAddresses);
    const auto pick = [&](const std::vector<std::string>& list) -> const std::string& {
        return list[gen.below(list.size())];
    };
    for (int i = 0; i < kAddresses; ++i) {
        const size_t kind = gen.below(20);
        if (kind < 8) {
            result.push_back("https://" + pick(lists.schools) + gen.path());
        } else if (kind < 12) {
            result.push_back("http://" + pick(lists.blocked) + gen.path());
        } else if (kind < 14) {
            result.push_back("https://" + pick(lists.schools) + "/" + pick(lists.words));
        } else if (kind < 15) {
            result.push_back("https://" + pick(lists.schools) + "/" +
                             gen.escaped(pick(lists.words)) + gen.path());
        } else if (kind < 16) {
            result.push_back("mailto:" + gen.label(3, 8) + "@" + pick(lists.schools));
        } else {
            result.push_back("https://www." + gen.label(5, 12) + ".com" + gen.path());
        }
    }
    return result;
}

// The entry-by-entry loop: each upper-cased entry searched in the address and in its decoded
// form.
class PlainFilter {
  public:
    explicit PlainFilter(const tarn::GroupLists& lists) {
        for (const auto* list : {&lists.ExclusionList, &lists.WordList}) {
            for (const std::string& entry : *list) {
                excluded_.push_back(tarn::upperAscii(entry));
            }
        }
        for (const std::string& entry : lists.InclusionList) {
            included_.push_back(tarn::upperAscii(entry));
        }
    }

    tarn::FilterVerdict check(const std::string& address, bool allowMailLinks) const {
        const std::string upper = tarn::upperAscii(address);
        if (!allowMailLinks && upper.find("MAILTO") != std::string::npos) {
            return tarn::FilterVerdict::MailRefused;
        }
        const std::string decoded = tarn::upperAscii(tarn::percentDecoded(address));
        for (const std::string& entry : excluded_) {
            if (!entry.empty() && (upper.find(entry) != std::string::npos ||
                                   decoded.find(entry) != std::string::npos)) {
                return tarn::FilterVerdict::Excluded;
            }
        }
        if (included_.empty()) {
            return tarn::FilterVerdict::Allowed;
        }
        for (const std::string& entry : included_) {
            if (!entry.empty() && upper.find(entry) != std::string::npos) {
                return tarn::FilterVerdict::Allowed;
            }
        }
        return tarn::FilterVerdict::NotIncluded;
    }

    size_t memoryBytes() const {
        size_t bytes = 0;
        for (const auto* list : {&excluded_, &included_}) {
            bytes += list->capacity() * sizeof(std::string);
            for (const std::string& entry : *list) {
                bytes += entry.capacity() > 15 ? entry.capacity() + 1 : 0;
            }
        }
        return bytes;
    }

  private:
    std::vector<std::string> excluded_, included_;
};

struct Figures {
    double median, p99;
};

Figures summarize(std::vector<double> costs) {
    std::sort(costs.begin(), costs.end());
    return {costs[costs.size() / 2], costs[costs.size() * 99 / 100]};
}

const char* verdict(bool pass) {
    return pass ? "PASS" : "FAIL";
}

int run(const std::filesystem::path& folder, int exclusions) {
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    setenv("TARNVIEW_MACHINE_HIVE", (folder / "machine.hive").c_str(), 1);

    Generator gen(20240611);
    std::vector<std::string> sample;
    tarn::GroupRecord group;
    size_t characters = 0;
    {
        const Lists generated = generate(gen, exclusions);
        sample = addresses(gen, generated);
        std::ofstream file(folder / "blocklist.txt", std::ios::binary);
        for (const std::string& line : generated.blocked) {
            file << line << '\n';
            characters += line.size();
        }
        tarn::saveListPart(tarn::ListFamily::URLExclIni, kListName,
                           {(folder / "blocklist.txt").string()});
        tarn::saveListPart(tarn::ListFamily::WordExclusion, kListName, generated.words);
        tarn::saveListPart(tarn::ListFamily::URLInclusion, kListName, generated.schools);
    }
    group.bGroupUseExcl = group.bGroupUseIncl = true;
    group.sGroupExclList = group.sGroupInclList = kListName;
    std::printf(
        "lists: %d exclusion lines (file, %.1f characters on average), %d words, "
        "%d inclusion entries\n",
        exclusions, static_cast<double>(characters) / exclusions, kWords, kInclusions);
    // The generated lists are gone: what the process holds from here on is the program's.
    malloc_trim(0);

    // Sign-on as the program signs on: the store is read on the window's thread, the files
    // are read and the filter built on another; the filter is in force when it is ready.
    const auto signOn = [&](bool& fromCache) {
        const auto start = Clock::now();
        tarn::ListBuild build(tarn::ListSources::read(group), tarn::userHiveFile().parent_path());
        double ready = 0;
        build.run([&] { ready = secondsSince(start); });
        fromCache = build.fromCache();
        return std::make_pair(ready, build.filter());
    };
    const double residentBefore = residentMb();
    bool coldFromCache = true;
    auto [cold, shared] = signOn(coldFromCache);
    const double residentCold = residentMb();
    bool warmFromCache = false;
    const double warm = signOn(warmFromCache).first;
    const auto baselineStart = Clock::now();
    std::ifstream blocklist(folder / "blocklist.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(blocklist)),
                           std::istreambuf_iterator<char>());
    const size_t fileBytes = text.size();
    const double fileSeconds = secondsSince(baselineStart);

    const double millions = exclusions / 1e6;
    std::printf("\nsign-on (store read, files read, filter built or mapped from the cache)\n");
    std::printf("  cold (no cache)               %7.3f s   target <= %.1f s: %s\n", cold,
                kColdTargetS * millions,
                verdict(!coldFromCache && cold <= kColdTargetS * millions));
    std::printf("  warm (from the cache)         %7.3f s   target <= %.2f s: %s\n", warm,
                kWarmTargetS * millions, verdict(warmFromCache && warm <= kWarmTargetS * millions));
    std::printf("  baseline: reading the list file alone (%zu MB)  %7.3f s\n", fileBytes >> 20,
                fileSeconds);

    const tarn::UrlFilter& filter = *shared;
    const double filterMb = static_cast<double>(filter.memoryBytes()) / 1e6;
    const double held = residentCold - residentBefore;
    std::printf("\nmemory after a cold sign-on\n");
    std::printf("  held (RSS growth)             %7.1f MB   filter memoryBytes() %7.1f MB\n", held,
                filterMb);
    std::printf("  target <= filter + %.0f%%       %7.1f MB: %s\n", kMemoryMargin * 100,
                filterMb * (1 + kMemoryMargin), verdict(held <= filterMb * (1 + kMemoryMargin)));

    const tarn::GroupLists lists = tarn::assembleGroupLists(group);
    const PlainFilter plain(lists);
    std::printf("  peak RSS of the whole run     %7.1f MB (generated lists and plain copies too)\n",
                peakResidentMb());

    std::vector<tarn::FilterVerdict> fast(sample.size());
    std::vector<double> costs;
    costs.reserve(sample.size());
    for (size_t i = 0; i < sample.size(); ++i) {
        const auto start = Clock::now();
        fast[i] = filter.check(sample[i], false).verdict;
        costs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const Figures fastFigures = summarize(costs);

    std::vector<double> plainCosts;
    int mismatches = 0;
    for (size_t i = 0; i < sample.size(); i += kBaselineEvery) {
        const auto start = Clock::now();
        const tarn::FilterVerdict expected = plain.check(sample[i], false);
        plainCosts.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (expected != fast[i]) {
            ++mismatches;
            std::printf("  mismatch on %s\n", sample[i].c_str());
        }
    }
    const Figures plainFigures = summarize(plainCosts);

    std::array<int, 4> counts{};
    for (const tarn::FilterVerdict v : fast) {
        ++counts[static_cast<size_t>(v)];
    }
    std::printf("\ndecisions: %zu addresses (%d allowed, %d mail, %d excluded, %d not included)\n",
                sample.size(), counts[0], counts[1], counts[2], counts[3]);
    std::printf("  filter      median %9.2f us  p99 %9.2f us   target <= %.0f us: %s\n",
                fastFigures.median, fastFigures.p99, kDecisionTargetUs,
                verdict(fastFigures.median <= kDecisionTargetUs));
    std::printf("  plain loop  median %9.2f us  p99 %9.2f us   (every %d-th address: %zu)\n",
                plainFigures.median, plainFigures.p99, kBaselineEvery, plainCosts.size());
    std::printf("  verdicts differing from the plain loop: %d\n", mismatches);

    // Long addresses with escapes.
    constexpr double kLongMedianTargetUs = 10;
    constexpr double kLongP99TargetUs = 30;
    std::vector<std::string> longAddresses;
    for (int i = 0; i < 20'000; ++i) {
        longAddresses.push_back(gen.longAddress());
    }
    std::vector<double> longCosts;
    size_t longCharacters = 0;
    for (const std::string& address : longAddresses) {
        longCharacters += address.size();
        const auto start = Clock::now();
        filter.check(address, false);
        longCosts.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const Figures longFigures = summarize(longCosts);
    std::vector<double> longPlainCosts;
    for (size_t i = 0; i < longAddresses.size(); i += 200) {
        const auto start = Clock::now();
        plain.check(longAddresses[i], false);
        longPlainCosts.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const Figures longPlain = summarize(longPlainCosts);
    std::printf("\nlong addresses: %zu, %zu characters on average, with escapes\n",
                longAddresses.size(), longCharacters / longAddresses.size());
    std::printf(
        "  filter      median %9.2f us  p99 %9.2f us   target <= %.0f / %.0f us: %s\n",
        longFigures.median, longFigures.p99, kLongMedianTargetUs, kLongP99TargetUs,
        verdict(longFigures.median <= kLongMedianTargetUs && longFigures.p99 <= kLongP99TargetUs));
    std::printf("  plain loop  median %9.2f us  p99 %9.2f us   (every 200-th address)\n",
                longPlain.median, longPlain.p99);

    // A page's own requests (images, scripts, fetch) go through the slot the request guard
    // asks, against the exclusions alone; a navigation's decision through the same slot is
    // what they must not cost more than.
    const tarn::PolicySlot slot(std::make_shared<const tarn::NavigationPolicy>(shared, false, ""));
    // Each in a pass of its own, so neither finds the other's work in the caches.
    std::vector<double> requestCosts, navigationCosts;
    requestCosts.reserve(sample.size());
    navigationCosts.reserve(sample.size());
    int requestsRefused = 0;
    int navigationsRefused = 0;
    for (const std::string& address : sample) {
        const auto start = Clock::now();
        requestsRefused += slot.allowsRequest(address) ? 0 : 1;
        requestCosts.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    for (const std::string& address : sample) {
        const auto start = Clock::now();
        navigationsRefused +=
            slot.decide({address}).verdict == tarn::FilterVerdict::Allowed ? 0 : 1;
        navigationCosts.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const Figures requestFigures = summarize(requestCosts);
    const Figures navigationFigures = summarize(navigationCosts);
    std::printf("\nrequest check: %zu addresses (%d refused as requests, %d as navigations)\n",
                sample.size(), requestsRefused, navigationsRefused);
    std::printf("  request     median %9.2f us  p99 %9.2f us   target <= navigation: %s\n",
                requestFigures.median, requestFigures.p99,
                verdict(requestFigures.median <= navigationFigures.median));
    std::printf("  navigation  median %9.2f us  p99 %9.2f us\n", navigationFigures.median,
                navigationFigures.p99);
    return mismatches == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int exclusions = argc > 1 ? std::atoi(argv[1]) : kMillion;
    if (exclusions <= 0) {
        std::fprintf(stderr, "usage: url_filter_bench [number of exclusion lines]\n");
        return 2;
    }
    return tarn::bench::runInTemporaryFolder(
        "url_filter_bench",
        [&](const std::filesystem::path& folder) { return run(folder, exclusions); });
}
