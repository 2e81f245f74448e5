#pragma once

#include <memory>
#include <string_view>

#include "settings/settings_store.h"

namespace tarn {

// The hive that holds the administrative area, decided afresh on every call: `iUserSet` in the
// current user's Config key chooses the machine hive when it is 1 and the user's own otherwise.
// A user hive without it (new, reset or deleted) follows the machine hive when that holds an
// Admin key, so the machine's policy does not go with a user's file.
Hive adminHive();

// A store opened on `path` (absolute, below the root) in the administrative hive, creating the
// key when `create` is set. has_open_key() tells whether it could be opened.
std::unique_ptr<SettingsStore> openAdminKey(std::string_view path, bool create = true);

// Throws SettingsError, naming the file and the permissions it needs, when this account may
// read the administrative hive but not write it: `what` (the minutes of a daily allowance, say)
// could not be kept there.
void requireWritableAdminHive(std::string_view what);

}  // namespace tarn
