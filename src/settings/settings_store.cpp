#include "settings/settings_store.h"

#include <charconv>
#include <cstdint>

#include "settings/settings_error.h"

namespace tarn {

std::optional<int> parseStoredInt(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t value = 0;
        const char* first = text.data() + 2;
        const char* last = text.data() + text.size();
        auto [end, error] = std::from_chars(first, last, value, 16);
        if (error != std::errc() || end != last) {
            return std::nullopt;
        }
        return static_cast<int>(value);  // eight hex digits cover the whole 32-bit range
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    int value = 0;
    auto [end, error] = std::from_chars(first, last, value, 10);
    if (first == last || error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

SettingsStore::SettingsStore(std::string_view path) {
    open_key(path, true);
}

HiveFile& SettingsStore::hive() const {
    if (!hive_) {
        hive_ = HiveFile::open(root_);
    }
    return *hive_;
}

void SettingsStore::set_root(Hive hive) {
    close_key();
    if (hive != root_) {
        root_ = hive;
        hive_.reset();
    }
}

void SettingsStore::close_key() {
    key_.reset();
}

bool SettingsStore::open_key(std::string_view path, bool create) {
    close_key();
    if (auto existing = hive().findKey(kRootKey, path)) {
        key_ = existing;
        return true;
    }
    if (!create || !hive().writable()) {
        return false;
    }
    try {
        key_ = hive().createKey(kRootKey, path);
    } catch (const HiveDamagedError&) {
        throw;
    } catch (const SettingsError&) {
        return false;
    }
    return true;
}

std::optional<KeyId> SettingsStore::section(std::string_view name) const {
    if (!key_) {
        return std::nullopt;
    }
    return hive().findKey(*key_, name);
}

std::optional<std::string> SettingsStore::readText(std::string_view sectionName,
                                                   std::string_view name) const {
    auto key = section(sectionName);
    if (!key) {
        return std::nullopt;
    }
    auto value = hive().readValue(*key, name);
    if (!value) {
        return std::nullopt;
    }
    if (value->type != kRegString) {
        throw SettingsError("Invalid data type for '" + std::string(name) + "'");
    }
    return std::move(value->data);
}

std::string SettingsStore::read_string(std::string_view sectionName, std::string_view name,
                                       std::string_view fallback) const {
    auto text = readText(sectionName, name);
    return text ? *text : std::string(fallback);
}

int SettingsStore::read_int(std::string_view sectionName, std::string_view name,
                            int fallback) const {
    auto text = readText(sectionName, name);
    if (!text) {
        return fallback;
    }
    return parseStoredInt(*text).value_or(fallback);
}

bool SettingsStore::read_bool(std::string_view sectionName, std::string_view name,
                              bool fallback) const {
    return read_int(sectionName, name, fallback ? 1 : 0) != 0;
}

void SettingsStore::writeText(std::string_view sectionName, std::string_view name,
                              std::string_view text) {
    if (!key_) {
        throw SettingsError("Failed to set data for '" + std::string(name) + "'");
    }
    const KeyId target = hive().createKey(*key_, sectionName);
    hive().writeValue(target, name, kRegString, text);
}

void SettingsStore::write_string(std::string_view sectionName, std::string_view name,
                                 std::string_view text) {
    writeText(sectionName, name, text);
}

void SettingsStore::write_int(std::string_view sectionName, std::string_view name, int value) {
    writeText(sectionName, name, std::to_string(value));
}

void SettingsStore::write_bool(std::string_view sectionName, std::string_view name, bool value) {
    writeText(sectionName, name, value ? "1" : "0");
}

void SettingsStore::list_subkeys(std::vector<std::string>& list) const {
    list = key_ ? hive().subkeyNames(*key_) : std::vector<std::string>{};
}

void SettingsStore::list_values(std::string_view sectionName,
                                std::vector<std::string>& list) const {
    list.clear();
    append_values(sectionName, list);
}

void SettingsStore::append_values(std::string_view sectionName,
                                  std::vector<std::string>& list) const {
    // Straight into `list`, with room made once: a million names through a second vector, or
    // moved each time the list grows, cost a third more.
    if (auto key = section(sectionName)) {
        list.reserve(list.size() + hive().valueCount(*key));
        hive().eachValueName(*key, [&](std::string_view name) { list.emplace_back(name); });
    }
}

void SettingsStore::each_value(std::string_view sectionName,
                               const std::function<void(std::string_view)>& take) const {
    if (auto key = section(sectionName)) {
        hive().eachValueName(*key, take);
    }
}

bool SettingsStore::delete_value(std::string_view sectionName, std::string_view name) {
    const auto key = section(sectionName);
    return key && hive().deleteValue(*key, name);
}

std::optional<std::int64_t> SettingsStore::value_order(std::string_view sectionName,
                                                       std::string_view name) const {
    const auto key = section(sectionName);
    return key ? hive().valueOrder(*key, name) : std::nullopt;
}

bool SettingsStore::rename_value(std::string_view sectionName, std::string_view name,
                                 std::string_view new_name) {
    const auto key = section(sectionName);
    return key && hive().renameValue(*key, name, new_name);
}

bool SettingsStore::move_value_after(std::string_view sectionName, std::string_view name,
                                     std::string_view after) {
    const auto key = section(sectionName);
    return key && hive().moveValueAfter(*key, name, after);
}

void SettingsStore::erase_section(std::string_view sectionName) {
    if (key_) {
        hive().deleteKey(*key_, sectionName);
    }
}

void SettingsStore::in_transaction(const std::function<void()>& body) {
    hive().transaction(body);
}

}  // namespace tarn
