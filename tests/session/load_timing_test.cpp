#include "session/load_timing.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarn {
namespace {

enum class Event { Navigate, NavigateDone, Download, DownloadDone };

struct TimingCase {
    const char* what;
    std::vector<std::pair<Event, std::int64_t>> events;
    std::optional<std::string> record;
};

std::optional<std::string> replay(LoadTiming& timing,
                                  const std::vector<std::pair<Event, std::int64_t>>& events) {
    for (const auto& [event, ms] : events) {
        switch (event) {
            case Event::Navigate:
                timing.onBeforeNavigate(ms);
                break;
            case Event::NavigateDone:
                timing.onNavigateComplete(ms);
                break;
            case Event::Download:
                timing.onDownloadBegin(ms);
                break;
            case Event::DownloadDone:
                timing.onDownloadComplete(ms);
                break;
        }
    }
    return timing.takeRecord();
}

using enum Event;

TEST(LoadTimingTest, RecordsTheLoadOnceBothAreDone) {
    const TimingCase cases[] = {
        {"navigation completes first",
         {{Navigate, 1000}, {Download, 1100}, {NavigateDone, 1500}, {DownloadDone, 1800}},
         " 0.80 sec"},
        {"download completes first",
         {{Navigate, 0}, {Download, 10}, {DownloadDone, 300}, {NavigateDone, 450}},
         " 0.45 sec"},
        {"download begins the timing",
         {{Download, 200}, {Navigate, 900}, {NavigateDone, 1200}, {DownloadDone, 2200}},
         " 2.00 sec"},
        {"a second navigation does not restart the clock",
         {{Navigate, 0},
          {Download, 100},
          {Navigate, 5000},
          {NavigateDone, 5100},
          {DownloadDone, 6000}},
         " 6.00 sec"},
        {"a later download is measured from the start, not from the first result",
         {{Navigate, 1000}, {NavigateDone, 1200}, {Download, 1300}, {DownloadDone, 1900}},
         " 0.90 sec"},
        {"only the navigation done", {{Navigate, 0}, {NavigateDone, 100}}, std::nullopt},
        {"still downloading", {{Navigate, 0}, {Download, 1}, {NavigateDone, 100}}, std::nullopt},
        {"completions with nothing timed",
         {{NavigateDone, 100}, {DownloadDone, 200}},
         std::nullopt},
        {"a clock set back",
         {{Navigate, 5000}, {Download, 5000}, {NavigateDone, 4000}, {DownloadDone, 4000}},
         " 0.00 sec"},
    };
    for (const TimingCase& c : cases) {
        LoadTiming timing;
        EXPECT_EQ(replay(timing, c.events), c.record) << c.what;
    }
}

TEST(LoadTimingTest, TakingTheRecordReturnsToIdle) {
    LoadTiming timing;
    EXPECT_EQ(
        replay(timing, {{Navigate, 0}, {Download, 0}, {NavigateDone, 10}, {DownloadDone, 20}}),
        " 0.02 sec");
    EXPECT_EQ(timing.takeRecord(), std::nullopt);
    // The next load starts its own clock.
    EXPECT_EQ(
        replay(
            timing,
            {{Navigate, 60000}, {Download, 60010}, {NavigateDone, 61000}, {DownloadDone, 61234}}),
        " 1.23 sec");

    // A load that reached no page leaves nothing timed: the next one starts its own clock.
    EXPECT_EQ(replay(timing, {{Download, 62000}}), std::nullopt);
    timing.onLoadAbandoned();
    EXPECT_EQ(replay(timing, {{DownloadDone, 62100}}), std::nullopt);
    EXPECT_EQ(
        replay(
            timing,
            {{Navigate, 65000}, {Download, 65000}, {NavigateDone, 65400}, {DownloadDone, 65500}}),
        " 0.50 sec");

    // Completions with nothing timed leave the timing idle for the next load.
    EXPECT_EQ(replay(timing, {{NavigateDone, 70000}}), std::nullopt);
    EXPECT_EQ(
        replay(
            timing,
            {{Navigate, 80000}, {NavigateDone, 80500}, {Download, 80600}, {DownloadDone, 80700}}),
        " 0.70 sec");
}

TEST(LoadTimingTest, FormatsSecondsLikeTheLogExpects) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, " 0.00 sec"},
        {800, " 0.80 sec"},
        {4, " 0.00 sec"},
        {5, " 0.01 sec"},
        {9995, "10.00 sec"},
        {99994, "99.99 sec"},
        {99995, "100.00 sec"},
        {999994, "999.99 sec"},
        {999995, "1,000.00 sec"},
        {1234567, "1,234.57 sec"},
        {1234567890, "1,234,567.89 sec"},
        {-800, "-0.80 sec"},
        {-4, " 0.00 sec"},
        {std::numeric_limits<std::int64_t>::max(), "9,223,372,036,854,775.81 sec"},
        {std::numeric_limits<std::int64_t>::min(), "-9,223,372,036,854,775.81 sec"},
    };
    for (const auto& [ms, text] : cases) {
        EXPECT_EQ(formatLoadTime(ms), text) << ms;
    }
}

}  // namespace
}  // namespace tarn
