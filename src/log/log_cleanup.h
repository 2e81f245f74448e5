#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tarn {

// The day of the program's last run, kept as sLastRunDate in the Config key directly under the
// product key of the current user, where start-up finds it before anyone has signed on. The
// main window records it whenever it saves a user's sLastRunDate.
void recordLastRun(std::string_view today);

// Once a day, at the start of a main instance: drops the log's records older than iLogKeepDays
// days, after copying the whole log to "tarnview.bak" beside it. Does nothing when no last run
// is recorded, when the last run was today, and when iLogKeepDays is 0 or less, which keeps
// every record. Shows "Running log cleanup..." through `showStatus` while it works and clears
// it afterwards; file failures end it quietly with the log as it was.
void CleanupLog(const Clock& clock, const std::function<void(const std::string&)>& showStatus);

}  // namespace tarn
