#pragma once

#include <filesystem>
#include <ostream>
#include <string_view>

#include "tarnreg/key_path.h"
#include "tarnreg/reg_file.h"

namespace tarn::reg {

// The commands of tarnreg. Each throws RegError for what it refuses (a missing key or value,
// bad data, a file it can not read or write) and lets SettingsError from the hives pass.

// Prints the value's data alone: text as stored, a dword in decimal, other data as hex bytes.
void queryValue(const KeyPath& key, std::string_view name, std::ostream& out);
// Prints the key's name, its values (name, type, data) and then the full names of its subkeys.
void queryKey(const KeyPath& key, std::ostream& out);

// `type` is kRegString, kRegDword or kRegBinary; `data` is written as the user writes it.
void setValue(const KeyPath& key, std::string_view name, int type, std::string_view data);
void deleteValue(const KeyPath& key, std::string_view name);
void deleteKey(const KeyPath& key);

void exportKey(const KeyPath& key, RegFormat format, const std::filesystem::path& file);
// Reads and checks the whole file before it changes anything.
void importFile(const std::filesystem::path& file);

}  // namespace tarn::reg
