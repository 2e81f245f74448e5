#include "settings/record_ids.h"

#include "settings/settings_error.h"

namespace tarn {

bool isRecordId(std::string_view id) {
    return !id.empty() && id.find('\\') == std::string_view::npos;
}

void requireRecordId(std::string_view id) {
    if (!isRecordId(id)) {
        throw SettingsError("Invalid id '" + std::string(id) + "'");
    }
}

std::string groupSection(std::string_view group) {
    requireRecordId(group);
    return std::string(group);
}

std::string usersSection(std::string_view group) {
    return groupSection(group) + "\\Users";
}

std::string userSection(std::string_view group, std::string_view user) {
    requireRecordId(user);
    return usersSection(group) + "\\" + std::string(user);
}

}  // namespace tarn
