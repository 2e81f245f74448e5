#include "policy/protected_paths.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "log/log_rewrite.h"
#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

// `path` absolute, with "..", "." and links resolved as far as it exists and no trailing
// separator; none when that fails.
std::optional<fs::path> resolved(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) {
        return std::nullopt;
    }
    fs::path real = fs::weakly_canonical(absolute, error);
    if (error) {
        return std::nullopt;
    }
    if (!real.has_filename() && real.has_relative_path()) {
        real = real.parent_path();
    }
    return real;
}

// A place of our own compares as it really is; one that can not be resolved (a folder this
// account may not search) still compares by its own name.
fs::path resolvedPlace(const fs::path& path) {
    if (auto real = resolved(path)) {
        return *real;
    }
    std::error_code ignored;
    return fs::absolute(path, ignored).lexically_normal();
}

bool within(const fs::path& path, const fs::path& folder) {
    return std::mismatch(folder.begin(), folder.end(), path.begin(), path.end()).first ==
           folder.end();
}

void addHive(std::vector<fs::path>& files, const fs::path& hive) {
    files.push_back(hive);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        files.push_back(hive.string() + suffix);
    }
}

void addLog(std::vector<fs::path>& files, std::string_view location) {
    const fs::path log = mapPath(location);
    files.push_back(log);
    files.push_back(logBackupFile(log));
}

std::vector<fs::path> protectedFiles() {
    std::vector<fs::path> files;
    addHive(files, userHiveFile());
    addHive(files, machineHiveFile());
    // The cleanup and the writer fall back on different defaults; both may hold a log.
    addLog(files, admin::sLogFileLocation.fallback);
    addLog(files, admin::kLogWriterDefaultFile);
    try {
        const auto store = openAdminKey(kAdminKey, false);
        addLog(files, readSetting(*store, "", admin::sLogFileLocation));
    } catch (const SettingsError&) {
        // The defaults above stay protected.
    }
    return files;
}

}  // namespace

bool isProtectedPath(const fs::path& target, const fs::path& programFolder) {
    const std::optional<fs::path> real = resolved(target);
    if (!real) {
        return true;
    }
    for (const fs::path& folder : {configFolder(), programFolder}) {
        if (within(*real, resolvedPlace(folder))) {
            return true;
        }
    }
    for (const fs::path& file : protectedFiles()) {
        std::error_code notThere;
        if (*real == resolvedPlace(file) || fs::equivalent(*real, file, notThere)) {
            return true;
        }
    }
    return false;
}

}  // namespace tarn
