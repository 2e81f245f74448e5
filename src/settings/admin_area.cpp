#include "settings/admin_area.h"

#include "settings/admin_values.h"
#include "settings/registry_layout.h"

namespace tarn {

Hive adminHive() {
    SettingsStore config(kTarnviewRoot);
    return readSetting(config, "Config", admin::iUserSet) == 1 ? Hive::LocalMachine
                                                               : Hive::CurrentUser;
}

std::unique_ptr<SettingsStore> openAdminKey(std::string_view path, bool create) {
    const Hive hive = adminHive();
    auto store = std::make_unique<SettingsStore>(kTarnviewRoot);
    if (hive == Hive::LocalMachine) {
        store->set_root(Hive::LocalMachine);
    }
    store->close_key();
    store->open_key(path, create);
    return store;
}

}  // namespace tarn
