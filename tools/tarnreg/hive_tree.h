#pragma once

#include <memory>
#include <vector>

#include "settings/hive_file.h"
#include "tarnreg/key_path.h"
#include "tarnreg/reg_file.h"

namespace tarn::reg {

// An existing key, its path spelled with the case its names were created with.
struct FoundKey {
    std::shared_ptr<HiveFile> hive;
    KeyId id = kRootKey;
    KeyPath key;
};

// Throws RegError naming the key when it does not exist.
FoundKey requireKey(const KeyPath& key);

// The key and everything below it as a registry file holds them: the key with its values in
// creation order, then each subkey's tree in the hive's order.
std::vector<RegKeyEntry> readTree(const KeyPath& key);

// Applies the entries in order in one transaction per hive: every change is made, or (when a
// write fails) none is.
void applyEntries(const std::vector<RegKeyEntry>& entries);

}  // namespace tarn::reg
