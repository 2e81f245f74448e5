#pragma once

#include <string>
#include <string_view>

#include "platform/ascii_case.h"
#include "settings/hive_file.h"

namespace tarn::reg {

// A key as the user names it: a hive and the path below the hive's root ("" for the root),
// its parts joined by single backslashes.
struct KeyPath {
    Hive hive = Hive::CurrentUser;
    std::string path;
};

// Reads "HKEY_CURRENT_USER\..." or "HKEY_LOCAL_MACHINE\..." (or HKCU, HKLM), the root in any
// case. Throws RegError naming the key for any other root.
KeyPath parseKeyPath(std::string_view text);

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
std::string rootName(Hive hive);

// The key as .reg files and listings show it: the long root name, then the path.
std::string fullName(const KeyPath& key);

}  // namespace tarn::reg
