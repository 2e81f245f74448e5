#include "settings/admin_area.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/paths.h"
#include "settings/admin_values.h"
#include "settings/registry_layout.h"

namespace tarn {
namespace {

// Whether the machine hive holds an administrative area; a missing hive file is not made.
bool machineHasAdminArea(SettingsStore& store) {
    std::error_code error;
    if (!std::filesystem::exists(machineHiveFile(), error)) {
        return false;
    }
    store.set_root(Hive::LocalMachine);
    return store.open_key(kAdminKey, false);
}

}  // namespace

Hive adminHive() {
    SettingsStore store(kTarnviewRoot);
    const std::optional<int> userSet =
        parseStoredInt(store.read_string("Config", admin::iUserSet.name, ""));
    if (userSet) {
        return *userSet == 1 ? Hive::LocalMachine : Hive::CurrentUser;
    }
    return machineHasAdminArea(store) ? Hive::LocalMachine : Hive::CurrentUser;
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
