#include "app/startup_check.h"

#include <filesystem>
#include <system_error>

#include "settings/admin_area.h"
#include "settings/hive_file.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

constexpr char kWithoutSettings[] =
    "\n\nTarnview keeps each person's settings and minutes of use there, and does not start "
    "without them.";

// Why the per-user hive can not be written, naming the file or folder in the way.
std::string unusableUserHive(const std::filesystem::path& file) {
    std::error_code ignored;
    const std::filesystem::path folder = file.parent_path();
    if (std::filesystem::is_directory(file, ignored)) {
        return file.string() +
               " is a folder, where Tarnview keeps its settings file. Move the "
               "folder aside, then start Tarnview again." +
               kWithoutSettings;
    }
    if (std::filesystem::exists(folder, ignored) &&
        !std::filesystem::is_directory(folder, ignored)) {
        return folder.string() +
               " is a file, where Tarnview keeps its settings folder. Move the "
               "file aside, then start Tarnview again." +
               kWithoutSettings;
    }
    return "Tarnview can not write its settings file " + file.string() +
           ". Check that this account may write the folder " + folder.string() +
           " and that the disk is not full, then start Tarnview again." + kWithoutSettings;
}

}  // namespace

std::optional<std::string> checkHives() {
    try {
        const auto user = HiveFile::open(Hive::CurrentUser);
        if (!user->writable()) {
            return unusableUserHive(user->file());
        }
        HiveFile::open(adminHive());
    } catch (const SettingsError& e) {
        return std::string(e.what()) +
               "\n\nTarnview can not run without its settings. Restore the file from a backup "
               "or ask the administrator, then start Tarnview again.";
    }
    return std::nullopt;
}

}  // namespace tarn
