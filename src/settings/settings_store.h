#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/hive_file.h"

namespace tarn {

// The one way the program reads and writes its settings: a short-lived object that opens one
// key of a hive and reads or writes values below it. Every value is stored as a string whose
// name's first letter gives its kind: s text, i decimal integer (or 0x hexadecimal when read),
// b boolean as "1" or "0". Readers pass their own default; nothing is cached.
class SettingsStore {
  public:
    // Opens `path` in the current-user hive, creating it when missing.
    explicit SettingsStore(std::string_view path);
    ~SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Switches hive; closes the open key first.
    void set_root(Hive hive);
    void close_key();
    // Opens `path` from the hive root (a leading "\" is optional). With `create` the key is made
    // when missing. A key in a hive this process may not write opens for reading only.
    // False when the key can neither be opened nor created.
    bool open_key(std::string_view path, bool create);

    std::string read_string(std::string_view section, std::string_view name,
                            std::string_view fallback) const;
    int read_int(std::string_view section, std::string_view name, int fallback) const;
    bool read_bool(std::string_view section, std::string_view name, bool fallback) const;

    void write_string(std::string_view section, std::string_view name, std::string_view text);
    void write_int(std::string_view section, std::string_view name, int value);
    void write_bool(std::string_view section, std::string_view name, bool value);

    void list_subkeys(std::vector<std::string>& list) const;
    void list_values(std::string_view section, std::vector<std::string>& list) const;
    void append_values(std::string_view section, std::vector<std::string>& list) const;
    // Each value name of `section` in order, valid only during its call.
    void each_value(std::string_view section,
                    const std::function<void(std::string_view)>& take) const;
    // Deletes one value of the subkey `section`; false when there was none.
    bool delete_value(std::string_view section, std::string_view name);
    // For editing a list of value names in place; see HiveFile::valueOrder, renameValue and
    // moveValueAfter. A missing section holds no values.
    std::optional<std::int64_t> value_order(std::string_view section, std::string_view name) const;
    bool rename_value(std::string_view section, std::string_view name, std::string_view new_name);
    bool move_value_after(std::string_view section, std::string_view name, std::string_view after);
    // Deletes the subkey `section` of the open key with everything below it.
    void erase_section(std::string_view section);

    // Runs `body` as one transaction of the current hive: its writes land together or not at
    // all. For writers that replace a whole list.
    void in_transaction(const std::function<void()>& body);

    bool has_open_key() const { return key_.has_value(); }

  private:
    std::optional<KeyId> section(std::string_view name) const;
    std::optional<std::string> readText(std::string_view section, std::string_view name) const;
    void writeText(std::string_view section, std::string_view name, std::string_view text);
    HiveFile& hive() const;

    Hive root_ = Hive::CurrentUser;
    mutable std::shared_ptr<HiveFile> hive_;
    std::optional<KeyId> key_;
};

// Integer reading of a stored text: decimal, or hexadecimal after "0x"/"0X"; none on failure.
std::optional<int> parseStoredInt(std::string_view text);

}  // namespace tarn
