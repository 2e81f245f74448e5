#include "settings/logon_lookup.h"

#include <vector>

#include "settings/admin_area.h"
#include "settings/group_record.h"
#include "settings/password_scramble.h"
#include "settings/record_ids.h"
#include "settings/registry_layout.h"
#include "settings/user_record.h"

namespace tarn {

std::optional<LogonUser> findLogonUser(std::string_view userId, bool useGroups) {
    // An empty id or one with a backslash would read the Users key itself or a nested key.
    if (!isRecordId(userId)) {
        return std::nullopt;
    }
    const std::vector<std::string> candidates =
        useGroups ? listGroups() : std::vector<std::string>{kDefaultGroup};
    auto store = openAdminKey(kGroupsKey);
    for (const std::string& candidate : candidates) {
        const std::string section = userSection(candidate, userId);
        std::string group = store->read_string(section, kUserGroupValue, "");
        if (!group.empty()) {
            return LogonUser{
                std::move(group),
                store->read_bool(section, kUserPasswordFlagValue, true),
                unscramblePassword(store->read_string(section, kUserPasswordValue, "")),
            };
        }
    }
    return std::nullopt;
}

}  // namespace tarn
