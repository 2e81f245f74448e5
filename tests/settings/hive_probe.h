#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/hive_file.h"

namespace tarn::test {

// Looks at a hive directly, creating nothing, to check what the code under test stored.

inline bool keyExists(Hive hive, std::string_view path) {
    return HiveFile::open(hive)->findKey(kRootKey, path).has_value();
}

inline std::vector<std::string> storedValueNames(Hive hive, std::string_view path) {
    auto file = HiveFile::open(hive);
    auto key = file->findKey(kRootKey, path);
    return key ? file->valueNames(*key) : std::vector<std::string>{};
}

inline std::optional<std::string> storedText(Hive hive, std::string_view path,
                                             std::string_view name) {
    auto file = HiveFile::open(hive);
    auto key = file->findKey(kRootKey, path);
    if (!key) {
        return std::nullopt;
    }
    auto value = file->readValue(*key, name);
    return value ? std::optional<std::string>(value->data) : std::nullopt;
}

}  // namespace tarn::test
