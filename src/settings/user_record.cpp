#include "settings/user_record.h"

#include "settings/admin_area.h"
#include "settings/day_record.h"
#include "settings/password_scramble.h"
#include "settings/record_ids.h"
#include "settings/registry_layout.h"

namespace tarn {

std::vector<std::string> listUsers(std::string_view group) {
    std::vector<std::string> users;
    openAdminKey(std::string(kGroupsKey) + "\\" + usersSection(group))->list_subkeys(users);
    return users;
}

UserRecord readUserRecord(std::string_view group, std::string_view user) {
    const std::string section = userSection(group, user);
    auto store = openAdminKey(kGroupsKey);
    UserRecord record;
    record.sUserGroup = store->read_string(section, kUserGroupValue, kDefaultGroup);
    record.bUserPasswordFlag = store->read_bool(section, kUserPasswordFlagValue, true);
    record.sUserPassword = unscramblePassword(store->read_string(section, kUserPasswordValue, ""));
    return record;
}

void writeUserRecord(std::string_view group, std::string_view user, const UserRecord& record) {
    const std::string section = userSection(group, user);
    auto store = openAdminKey(kGroupsKey);
    store->in_transaction([&] {
        store->write_string(section, kUserGroupValue, record.sUserGroup);
        store->write_bool(section, kUserPasswordFlagValue, record.bUserPasswordFlag);
        store->write_string(section, kUserPasswordValue, scramblePassword(record.sUserPassword));
    });
}

void deleteUser(std::string_view group, std::string_view user) {
    const std::string section = userSection(group, user);
    openAdminKey(kGroupsKey)->erase_section(section);
}

bool resetUsage(std::string_view group, std::string_view user) {
    auto store = openAdminKey(std::string(kGroupsKey) + "\\" + userSection(group, user), false);
    if (!store->has_open_key()) {
        return false;
    }
    store->write_string("", kUsageTimeValue, "");
    return true;
}

}  // namespace tarn
