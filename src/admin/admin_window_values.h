#pragma once

#include <string_view>

#include <string>

#include "settings/hive_file.h"

namespace tarn {

// What the administration window's Security and Logging pages and its group mode show, stored
// when the window closes rather than as they change.
struct AdminWindowValues {
    Hive adminHive = Hive::CurrentUser;  // where the administrative area is: iUserSet
    bool bLoggingEnabled{};
    bool bAdminSec{};
    std::string sSecPass;  // the password's hash
    bool bUseLogon{};
    std::string sUserId;
    bool bUseNetId{};
    std::string sLogFileLocation;
    int iLogKeepDays{};
    bool bCommaDelimit{};
    bool bLogUserId{};
    bool bLogGroupId{};
    bool bLogURL{};
    bool bLogExcluded{};
    bool bLogElapsed{};
    bool bLogConnect{};
    bool bUseGroups{};

    bool operator==(const AdminWindowValues&) const = default;
};

// The values as stored, absent ones at their defaults. The hive is the one in force, also when
// no choice is stored and the machine's policy applies.
AdminWindowValues readAdminWindowValues();

// Writes the values into the Admin key of `values.adminHive` in one transaction, then stores
// that choice in the user's installation values: a hive that refuses the values leaves both
// hives as they were.
void writeAdminWindowValues(const AdminWindowValues& values);

// Whether "Default Group" has a user who can sign on (a record naming its group), which forcing
// users to sign on needs; other groups do not count, as the logon screen starts from it. The
// user named `except` (about to go) does not count either.
bool defaultGroupHasUsers(std::string_view except = {});

}  // namespace tarn
