#include "session/logon_check.h"

#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/day_record.h"
#include "settings/group_record.h"
#include "settings/logon_lookup.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

LogonOutcome refuse(const char* message, LogonOutcome::Clear clear) {
    return {false, "", "", message, clear};
}

}  // namespace

LogonOutcome checkLogon(std::string_view userId, std::string_view password,
                        std::string_view today) {
    try {
        const bool useGroups = readSetting(*openAdminKey(kAdminKey), "", admin::bUseGroups);
        const auto user = findLogonUser(userId, useGroups);
        if (!user) {
            return refuse(kInvalidUserIdMessage, LogonOutcome::Clear::UserId);
        }
        if (user->passwordRequired && password != user->password) {
            return refuse(kIncorrectPasswordMessage, LogonOutcome::Clear::Password);
        }
        // The allowance and the minutes are those of the group the record names: the session runs
        // in that group and counts its minutes there.
        const int allowance = readGroupPolicy(user->group).iGroupMaxUsage;
        if (allowance > 0 &&
            readUserDayCount(user->group, userId, DayRecord::Usage, today).minutes >= allowance) {
            return refuse(kWebTimeUsedMessage, LogonOutcome::Clear::UserId);
        }
        return {true, user->group, std::string(userId), "", LogonOutcome::Clear::None};
    } catch (const SettingsError& error) {
        return {false, "", "", error.what(), LogonOutcome::Clear::None};
    }
}

}  // namespace tarn
