#pragma once

#include <memory>
#include <string_view>

#include "settings/settings_store.h"

namespace tarn {

// The hive that holds the administrative area: `iUserSet` in the current user's Config key,
// read afresh on every call, chooses the machine hive when it is 1.
Hive adminHive();

// A store opened on `path` (absolute, below the root) in the administrative hive, creating the
// key when `create` is set. has_open_key() tells whether it could be opened.
std::unique_ptr<SettingsStore> openAdminKey(std::string_view path, bool create = true);

}  // namespace tarn
