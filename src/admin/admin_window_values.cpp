#include "admin/admin_window_values.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/record_ids.h"
#include "settings/registry_layout.h"
#include "settings/setting.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"

namespace tarn {

AdminWindowValues readAdminWindowValues() {
    const auto store = openAdminKey(kAdminKey, false);
    AdminWindowValues values;
    values.adminHive = adminHive();
    values.bLoggingEnabled = readSetting(*store, "", admin::bLoggingEnabled);
    values.bAdminSec = readSetting(*store, "", admin::bAdminSec);
    values.sSecPass = readSetting(*store, "", admin::sSecPass);
    values.bUseLogon = readSetting(*store, "", admin::bUseLogon);
    values.sUserId = readSetting(*store, "", admin::sUserId);
    values.bUseNetId = readSetting(*store, "", admin::bUseNetId);
    values.sLogFileLocation = readSetting(*store, "", admin::sLogFileLocation);
    values.iLogKeepDays = readSetting(*store, "", admin::iLogKeepDays);
    values.bCommaDelimit = readSetting(*store, "", admin::bCommaDelimit);
    values.bLogUserId = readSetting(*store, "", admin::bLogUserId);
    values.bLogGroupId = readSetting(*store, "", admin::bLogGroupId);
    values.bLogURL = readSetting(*store, "", admin::bLogURL);
    values.bLogExcluded = readSetting(*store, "", admin::bLogExcluded);
    values.bLogElapsed = readSetting(*store, "", admin::bLogElapsed);
    values.bLogConnect = readSetting(*store, "", admin::bLogConnect);
    values.bUseGroups = readSetting(*store, "", admin::bUseGroups);
    return values;
}

void writeAdminWindowValues(const AdminWindowValues& values) {
    SettingsStore store(kTarnviewRoot);
    store.set_root(values.adminHive);
    store.open_key(kAdminKey, true);
    store.in_transaction([&] {
        writeSetting(store, "", admin::bLoggingEnabled, values.bLoggingEnabled);
        writeSetting(store, "", admin::bAdminSec, values.bAdminSec);
        writeSetting(store, "", admin::sSecPass, values.sSecPass);
        writeSetting(store, "", admin::bUseLogon, values.bUseLogon);
        writeSetting(store, "", admin::sUserId, values.sUserId);
        writeSetting(store, "", admin::bUseNetId, values.bUseNetId);
        writeSetting(store, "", admin::sLogFileLocation, values.sLogFileLocation);
        writeSetting(store, "", admin::iLogKeepDays, values.iLogKeepDays);
        writeSetting(store, "", admin::bCommaDelimit, values.bCommaDelimit);
        writeSetting(store, "", admin::bLogUserId, values.bLogUserId);
        writeSetting(store, "", admin::bLogGroupId, values.bLogGroupId);
        writeSetting(store, "", admin::bLogURL, values.bLogURL);
        writeSetting(store, "", admin::bLogExcluded, values.bLogExcluded);
        writeSetting(store, "", admin::bLogElapsed, values.bLogElapsed);
        writeSetting(store, "", admin::bLogConnect, values.bLogConnect);
        writeSetting(store, "", admin::bUseGroups, values.bUseGroups);
    });
    SettingsStore config(kConfigKey);
    writeSetting(config, "", admin::iUserSet, values.adminHive == Hive::LocalMachine ? 1 : 0);
}

bool defaultGroupHasUsers(std::string_view except) {
    // Only read: the check must not leave a Users key behind.
    const auto users =
        openAdminKey(std::string(kGroupsKey) + "\\" + usersSection(kDefaultGroup), false);
    std::vector<std::string> names;
    users->list_subkeys(names);
    // Only a record that names its group can sign on; the one the program keeps the default
    // user's minutes in does not.
    return std::ranges::any_of(names, [&](const std::string& name) {
        return !equalsIgnoringCase(name, except) &&
               !users->read_string(name, kUserGroupValue, "").empty();
    });
}

}  // namespace tarn
