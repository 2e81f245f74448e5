#include "log/log_cleanup.h"

#include "log/log_rewrite.h"
#include "platform/date.h"
#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/registry_layout.h"

namespace tarn {
namespace {

constexpr char kLastRunValue[] = "sLastRunDate";
constexpr char kDefaultLogFile[] = "c:\\tarnview.log";
constexpr int kDefaultKeepDays = 7;

}  // namespace

void recordLastRun(std::string_view today) {
    SettingsStore store(kConfigKey);
    store.write_string("", kLastRunValue, today);
}

void CleanupLog(const Clock& clock, const std::function<void(const std::string&)>& showStatus) {
    const std::string today = clock.today();
    const std::string lastRun = SettingsStore(kConfigKey).read_string("", kLastRunValue, "");
    if (lastRun.empty() || lastRun == today) {
        return;
    }
    // Read before the status shows, so that a settings error cannot leave it standing.
    int keepDays = kDefaultKeepDays;
    std::string file;
    {
        auto admin = openAdminKey(kAdminKey, false);
        keepDays = admin->read_int("", "iLogKeepDays", kDefaultKeepDays);
        file = admin->read_string("", "sLogFileLocation", kDefaultLogFile);
    }
    showStatus("Running log cleanup...");
    // The administration window calls 0 "unlimited": nothing is ever dropped.
    if (keepDays > 0) {
        pruneLogFile(mapPath(file), *parseDate(today), keepDays);
    }
    showStatus("");
}

}  // namespace tarn
