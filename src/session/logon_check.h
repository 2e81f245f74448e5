#pragma once

#include <string>
#include <string_view>

namespace tarn {

inline constexpr char kInvalidUserIdMessage[] = "Invalid user id..";
inline constexpr char kIncorrectPasswordMessage[] = "Incorrect Password entered..";
inline constexpr char kWebTimeUsedMessage[] = "You have used all your web time for today...";

// The verdict on a typed user id and password. On success `group` is the group the user's record
// names and `userId` the id as typed. On a refusal `message` says why and `clear` names the field
// to empty and focus; a failure with Clear::None means the settings could not be read and
// `message` is the error.
struct LogonOutcome {
    bool ok{};
    std::string group;
    std::string userId;
    std::string message;
    enum class Clear { None, UserId, Password } clear{};
};

// The logon check: the id must be known in a candidate group, the password must match unless the
// record waives it, and a group with a daily allowance must not have had it used up on `today`.
LogonOutcome checkLogon(std::string_view userId, std::string_view password, std::string_view today);

}  // namespace tarn
