#include "tarnreg/commands.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tarnreg/hive_tree.h"
#include "tarnreg/reg_error.h"
#include "tarnreg/reg_reader.h"
#include "tarnreg/reg_writer.h"
#include "tarnreg/value_data.h"

namespace tarn::reg {
namespace {

std::string valueLabel(std::string_view name) {
    return name.empty() ? "(Default)" : "'" + std::string(name) + "'";
}

// Data as one line of a listing.
std::string displayData(const HiveValue& value) {
    if (value.type == kRegString && isSingleLineText(value.data)) {
        return value.data;
    }
    if (const auto number = dwordOf(value.type, value.data)) {
        return std::to_string(*number);
    }
    return formatHexBytes(value.data);
}

std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw RegError("can not read " + file.string() + ": " + std::strerror(errno));
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        throw RegError("can not read " + file.string());
    }
    return bytes;
}

void writeWholeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw RegError("can not write " + file.string() + ": " + std::strerror(errno));
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw RegError("can not write " + file.string());
    }
}

std::string encodeData(int type, std::string_view data) {
    if (type == kRegDword) {
        const auto number = parseDword(data);
        if (!number) {
            throw RegError("bad dword data '" + std::string(data) +
                           "': expected a number from 0 to 4294967295, decimal or 0x-hex");
        }
        return dwordBytes(*number);
    }
    if (type == kRegBinary) {
        const auto bytes = parseHexBytes(data);
        if (!bytes) {
            throw RegError("bad binary data '" + std::string(data) +
                           "': expected hexadecimal bytes separated by commas, such as 01,02,ff");
        }
        return *bytes;
    }
    return std::string(data);
}

}  // namespace

void queryValue(const KeyPath& key, std::string_view name, std::ostream& out) {
    const FoundKey found = requireKey(key);
    const auto value = found.hive->readValue(found.id, name);
    if (!value) {
        throw RegError("value " + valueLabel(name) + " not found in " + fullName(found.key));
    }
    out << (value->type == kRegString ? value->data : displayData(*value)) << '\n';
}

void queryKey(const KeyPath& key, std::ostream& out) {
    const FoundKey found = requireKey(key);
    out << fullName(found.key) << '\n';
    for (const HiveValue& value : found.hive->values(found.id)) {
        out << "    " << (value.name.empty() ? "(Default)" : value.name) << "    "
            << typeName(value.type) << "    " << displayData(value) << '\n';
    }
    const auto subkeys = found.hive->subkeyNames(found.id);
    if (!subkeys.empty()) {
        out << '\n';
    }
    for (const std::string& name : subkeys) {
        out << fullName(
                   {found.key.hive, found.key.path.empty() ? name : found.key.path + '\\' + name})
            << '\n';
    }
}

void setValue(const KeyPath& key, std::string_view name, int type, std::string_view data) {
    const std::string bytes = encodeData(type, data);
    auto hive = HiveFile::open(key.hive);
    hive->transaction(
        [&] { hive->writeValue(hive->createKey(kRootKey, key.path), name, type, bytes); });
}

void deleteValue(const KeyPath& key, std::string_view name) {
    const FoundKey found = requireKey(key);
    if (!found.hive->deleteValue(found.id, name)) {
        throw RegError("value " + valueLabel(name) + " not found in " + fullName(found.key));
    }
}

void deleteKey(const KeyPath& key) {
    if (key.path.empty()) {
        throw RegError("the root key " + fullName(key) + " can not be deleted");
    }
    const FoundKey found = requireKey(key);
    found.hive->deleteKey(kRootKey, found.key.path);
}

void exportKey(const KeyPath& key, RegFormat format, const std::filesystem::path& file) {
    writeWholeFile(file, writeRegFile(format, readTree(key)));
}

void importFile(const std::filesystem::path& file) {
    const std::string bytes = readWholeFile(file);
    std::vector<RegKeyEntry> entries;
    try {
        entries = readRegFile(bytes);
    } catch (const RegParseError& error) {
        throw RegError(file.string() + ", " + error.what());
    }
    applyEntries(entries);
}

}  // namespace tarn::reg
