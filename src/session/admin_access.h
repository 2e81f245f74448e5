#pragma once

#include <string>
#include <string_view>

namespace tarn {

// What opening the administration window takes for a member of a group, read afresh for every
// attempt: the group's permission, and whether the administrator password is asked for.
struct AdminGate {
    bool allowed = false;        // bGroupAllowAdmin
    bool passwordAsked = false;  // bAdminSec
    std::string storedHash;      // sSecPass, the password's hash
};

AdminGate readAdminGate(std::string_view group);

}  // namespace tarn
