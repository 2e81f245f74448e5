#include "tarnreg/hive_tree.h"

#include <algorithm>

#include "settings/settings_error.h"
#include "tarnreg/reg_error.h"

namespace tarn::reg {
namespace {

void appendTree(HiveFile& hive, KeyId id, const KeyPath& key, std::vector<RegKeyEntry>& out) {
    RegKeyEntry entry{key, false, {}};
    for (HiveValue& value : hive.values(id)) {
        entry.values.push_back({std::move(value.name), false, value.type, std::move(value.data)});
    }
    out.push_back(std::move(entry));
    for (const std::string& name : hive.subkeyNames(id)) {
        if (const auto child = hive.findKey(id, name)) {
            const KeyPath childKey{key.hive, key.path.empty() ? name : key.path + '\\' + name};
            appendTree(hive, *child, childKey, out);
        }
    }
}

std::shared_ptr<HiveFile> writableHive(Hive which) {
    auto hive = HiveFile::open(which);
    if (!hive->writable()) {
        throw SettingsError("The settings file " + hive->file().string() + " can not be written");
    }
    return hive;
}

}  // namespace

FoundKey requireKey(const KeyPath& key) {
    FoundKey found{HiveFile::open(key.hive), kRootKey, {key.hive, ""}};
    size_t start = 0;
    while (start < key.path.size()) {
        const size_t end = std::min(key.path.find('\\', start), key.path.size());
        const std::string_view part = std::string_view(key.path).substr(start, end - start);
        std::optional<KeyId> child;
        for (const std::string& name : found.hive->subkeyNames(found.id)) {
            if (equalsIgnoringCase(name, part)) {
                child = found.hive->findKey(found.id, name);
                found.key.path += (found.key.path.empty() ? "" : "\\") + name;
                break;
            }
        }
        if (!child) {
            throw RegError("key not found: " + fullName(key));
        }
        found.id = *child;
        start = end + 1;
    }
    return found;
}

std::vector<RegKeyEntry> readTree(const KeyPath& key) {
    const FoundKey found = requireKey(key);
    std::vector<RegKeyEntry> entries;
    appendTree(*found.hive, found.id, found.key, entries);
    return entries;
}

void applyEntries(const std::vector<RegKeyEntry>& entries) {
    std::shared_ptr<HiveFile> user, machine;
    for (const RegKeyEntry& entry : entries) {
        auto& hive = entry.key.hive == Hive::CurrentUser ? user : machine;
        if (!hive) {
            hive = writableHive(entry.key.hive);
        }
    }
    auto applyAll = [&] {
        for (const RegKeyEntry& entry : entries) {
            HiveFile& hive = entry.key.hive == Hive::CurrentUser ? *user : *machine;
            if (entry.remove) {
                hive.deleteKey(kRootKey, entry.key.path);
                continue;
            }
            const KeyId id = hive.createKey(kRootKey, entry.key.path);
            for (const RegValueEntry& value : entry.values) {
                if (value.remove) {
                    hive.deleteValue(id, value.name);
                } else {
                    hive.writeValue(id, value.name, value.type, value.data);
                }
            }
        }
    };
    // With both hives in play the inner transaction commits just before the outer one, so a
    // failure anywhere in the body leaves both hives as they were.
    if (user && machine) {
        user->transaction([&] { machine->transaction(applyAll); });
    } else if (user) {
        user->transaction(applyAll);
    } else if (machine) {
        machine->transaction(applyAll);
    }
}

}  // namespace tarn::reg
