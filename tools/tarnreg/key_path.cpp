#include "tarnreg/key_path.h"

#include "settings/hive_file.h"
#include "tarnreg/reg_error.h"

namespace tarn::reg {
namespace {

// Empty parts are dropped, as the hives drop them.
std::string normalizedPath(std::string_view path) {
    std::string result;
    for (std::string_view part : splitKeyPath(path)) {
        if (!result.empty()) {
            result += '\\';
        }
        result += part;
    }
    return result;
}

}  // namespace

KeyPath parseKeyPath(std::string_view text) {
    const size_t separator = text.find('\\');
    const std::string_view root = text.substr(0, separator);
    const std::string_view rest =
        separator == std::string_view::npos ? std::string_view() : text.substr(separator + 1);
    if (equalsIgnoringCase(root, "HKEY_CURRENT_USER") || equalsIgnoringCase(root, "HKCU")) {
        return {Hive::CurrentUser, normalizedPath(rest)};
    }
    if (equalsIgnoringCase(root, "HKEY_LOCAL_MACHINE") || equalsIgnoringCase(root, "HKLM")) {
        return {Hive::LocalMachine, normalizedPath(rest)};
    }
    throw RegError("unsupported root '" + std::string(root) + "' in key '" + std::string(text) +
                   "': keys start with HKEY_CURRENT_USER (HKCU) or HKEY_LOCAL_MACHINE (HKLM)");
}

std::string rootName(Hive hive) {
    return hive == Hive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::string fullName(const KeyPath& key) {
    return key.path.empty() ? rootName(key.hive) : rootName(key.hive) + '\\' + key.path;
}

}  // namespace tarn::reg
