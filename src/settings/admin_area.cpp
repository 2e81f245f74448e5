#include "settings/admin_area.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/paths.h"
#include "settings/admin_values.h"
#include "settings/hive_file.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

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

void requireWritableAdminHive(std::string_view what) {
    const Hive hive = adminHive();
    const auto file = HiveFile::open(hive);
    if (file->writable()) {
        return;
    }
    std::string needs =
        hive == Hive::LocalMachine
            ? "It must be writable by every account that uses Tarnview: owner root, group the "
              "group those accounts belong to (tarnview when installed from the package), mode "
              "0664, in a folder of mode 2775 with that group."
            : "It must be writable by the account that uses Tarnview, in a folder that account "
              "may write.";
    throw SettingsError(std::string(what) +
                        " can not be kept: this account may read the "
                        "settings file " +
                        file->file().string() + " but not write it. " + needs +
                        " Ask your administrator.");
}

}  // namespace tarn
