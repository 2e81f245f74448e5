#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

inline constexpr char kUserGroupValue[] = "sUserGroup";
inline constexpr char kUserPasswordFlagValue[] = "bUserPasswordFlag";
inline constexpr char kUserPasswordValue[] = "sUserPassword";

// One user, the values of Admin\Groups\<group>\Users\<user>. The password is held in clear
// here; the store keeps it scrambled.
struct UserRecord {
    std::string sUserGroup;  // the group whose policy applies to the user
    bool bUserPasswordFlag{};
    std::string sUserPassword;

    bool operator==(const UserRecord&) const = default;
};

// The users of `group`; its Users key is created when missing.
std::vector<std::string> listUsers(std::string_view group);

// The user as the user editor shows it: sUserGroup defaults to "Default Group" and
// bUserPasswordFlag to true.
UserRecord readUserRecord(std::string_view group, std::string_view user);

// Writes the whole record in one transaction.
void writeUserRecord(std::string_view group, std::string_view user, const UserRecord& record);

void deleteUser(std::string_view group, std::string_view user);

// Empties the user's usage record. A user without a key, or a group without a Users key, is
// left alone rather than created: false says the user was not found.
bool resetUsage(std::string_view group, std::string_view user);

}  // namespace tarn
