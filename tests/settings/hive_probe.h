#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii_case.h"
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

// Each value by its name as the hive compares names (upper-cased), with its place in the order.
inline std::map<std::string, std::int64_t> storedValueOrders(Hive hive, std::string_view path) {
    std::map<std::string, std::int64_t> orders;
    auto file = HiveFile::open(hive);
    if (auto key = file->findKey(kRootKey, path)) {
        for (const std::string& name : file->valueNames(*key)) {
            orders[upperAscii(name)] = *file->valueOrder(*key, name);
        }
    }
    return orders;
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
