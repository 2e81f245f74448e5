#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// What the logon check needs of the user record that a typed user id names.
struct LogonUser {
    std::string group;  // sUserGroup of the record: the group whose policy applies
    bool passwordRequired{};
    std::string password;  // in clear

    bool operator==(const LogonUser&) const = default;
};

// Looks the typed id up in "Default Group" and, with groups in use, in every other group in
// list order; the first record with a non-empty sUserGroup wins. Ids match without regard to
// letter case, as key names do. Nothing when no group knows the id.
std::optional<LogonUser> findLogonUser(std::string_view userId, bool useGroups);

}  // namespace tarn
