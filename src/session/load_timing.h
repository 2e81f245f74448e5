#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarn {

// Times the first pane's page loads for the activity log. The clock starts at the first
// navigation or download that begins while nothing is being timed; a load that begins while
// another is still timed does not restart it. Once both the navigation and the download are
// done, the next tick takes the record and the timing is idle again. Times are milliseconds
// from any one clock.
class LoadTiming {
  public:
    void onBeforeNavigate(std::int64_t nowMs);
    void onNavigateComplete(std::int64_t nowMs);
    void onDownloadBegin(std::int64_t nowMs);
    void onDownloadComplete(std::int64_t nowMs);
    // The load ended without a page (stopped, handed to another program, saved as a file):
    // nothing is timed, so the next load starts its own clock.
    void onLoadAbandoned();

    // The load-time text once both are done, returning the timing to idle; otherwise nothing.
    std::optional<std::string> takeRecord();

  private:
    enum class Phase { Idle, Running, Done };

    bool idle() const { return navigation_ == Phase::Idle && download_ == Phase::Idle; }
    void begin(Phase& phase, std::int64_t nowMs);
    // The elapsed time is kept apart from the start, so a second completion measures from the
    // start again instead of from the first result.
    void measure(std::int64_t nowMs);

    Phase navigation_ = Phase::Idle;
    Phase download_ = Phase::Idle;
    std::int64_t startMs_ = 0;
    std::int64_t elapsedMs_ = 0;
};

// The load-time text: seconds with two decimals and "," between thousands, at least five
// characters wide (blanks on the left), then " sec". 800 gives " 0.80 sec".
std::string formatLoadTime(std::int64_t milliseconds);

}  // namespace tarn
