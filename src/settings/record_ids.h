#pragma once

#include <string>
#include <string_view>

namespace tarn {

// Group, user and list ids are used unchanged as key names. An empty id would name the parent
// key and an id holding a backslash a nested one, so writing or erasing through such an id could
// hit other records; operations that build a key path from an id refuse them.
bool isRecordId(std::string_view id);

// Throws SettingsError("Invalid id '<id>'") unless isRecordId(id).
void requireRecordId(std::string_view id);

// Paths of a group's key, its users' key and a user's key, relative to kGroupsKey; each id is
// checked with requireRecordId.
std::string groupSection(std::string_view group);
std::string usersSection(std::string_view group);
std::string userSection(std::string_view group, std::string_view user);

}  // namespace tarn
