#include "log/log_cleanup.h"

#include "log/log_rewrite.h"
#include "platform/date.h"
#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/config_values.h"
#include "settings/registry_layout.h"

namespace tarn {

void recordLastRun(std::string_view today) {
    SettingsStore store(kConfigKey);
    writeSetting(store, "", config::sLastRunDate, today);
}

void CleanupLog(const Clock& clock, const std::function<void(const std::string&)>& showStatus) {
    const std::string today = clock.today();
    const std::string lastRun = readSetting(SettingsStore(kConfigKey), "", config::sLastRunDate);
    if (lastRun.empty() || lastRun == today) {
        return;
    }
    // Read before the status shows, so that a settings error cannot leave it standing.
    int keepDays = 0;
    std::string file;
    {
        const auto store = openAdminKey(kAdminKey, false);
        keepDays = readSetting(*store, "", admin::iLogKeepDays);
        file = readSetting(*store, "", admin::sLogFileLocation);
    }
    showStatus("Running log cleanup...");
    // The administration window calls 0 "unlimited": nothing is ever dropped.
    if (keepDays > 0) {
        pruneLogFile(mapPath(file), *parseDate(today), keepDays);
    }
    showStatus("");
}

}  // namespace tarn
