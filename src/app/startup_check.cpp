#include "app/startup_check.h"

#include "settings/admin_area.h"
#include "settings/hive_file.h"
#include "settings/settings_error.h"

namespace tarn {

std::optional<std::string> checkHives() {
    try {
        HiveFile::open(Hive::CurrentUser);
        HiveFile::open(adminHive());
    } catch (const SettingsError& e) {
        return std::string(e.what()) +
               "\n\nTarnview can not run without its settings. Restore the file from a backup "
               "or ask the administrator, then start Tarnview again.";
    }
    return std::nullopt;
}

}  // namespace tarn
