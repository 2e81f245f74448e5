#include "platform/paths.h"

#include <algorithm>

#include <cctype>
#include <cstdlib>

namespace tarn {
namespace {

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::filesystem::path(home) : std::filesystem::path("/");
}

// An XDG base folder: the variable when it names an absolute path, else the fallback below HOME.
std::filesystem::path xdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && *value == '/') {
        return value;
    }
    return homeFolder() / fallback;
}

constexpr char kCurrentDrive = 'c';

}  // namespace

std::filesystem::path configFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config") / "tarnview";
}

std::filesystem::path dataFolder() {
    return xdgFolder("XDG_DATA_HOME", ".local/share") / "tarnview";
}

std::filesystem::path userHiveFile() {
    return configFolder() / "user.hive";
}

std::filesystem::path machineHiveFile() {
    const char* value = std::getenv("TARNVIEW_MACHINE_HIVE");
    if (value && *value) {
        return value;
    }
    return "/var/lib/tarnview/machine.hive";
}

std::filesystem::path defaultFavoritesFolder() {
    return dataFolder() / "Favorites";
}

namespace {

struct MappedPath {
    std::filesystem::path path;
    std::filesystem::path driveRoot;  // empty when the path names no drive
};

MappedPath mapWithDrive(std::string_view windowsStylePath) {
    std::string path(windowsStylePath);
    if (!path.empty() && path.front() == '/') {
        return {path, {}};
    }
    char drive = 0;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
        path.erase(0, 2);
    } else if (!path.empty() && path.front() == '\\') {
        drive = kCurrentDrive;
    }
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (drive == 0) {
        return {path, {}};
    }
    while (!path.empty() && path.front() == '/') {
        path.erase(0, 1);
    }
    std::filesystem::path root = dataFolder() / std::string(1, drive);
    return {path.empty() ? root : root / path, root};
}

}  // namespace

std::filesystem::path mapPath(std::string_view windowsStylePath) {
    return mapWithDrive(windowsStylePath).path;
}

std::string mappedDrives() {
    std::string drives(1, kCurrentDrive);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder(), error)) {
        const std::string name = entry.path().filename().string();
        std::error_code notFolder;
        if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z' && name[0] != kCurrentDrive &&
            entry.is_directory(notFolder)) {
            drives += name;
        }
    }
    std::sort(drives.begin(), drives.end());
    return drives;
}

std::string windowsStylePath(const std::filesystem::path& path) {
    const std::filesystem::path data = dataFolder().lexically_normal();
    const std::filesystem::path normal = path.lexically_normal();
    const std::filesystem::path relative = normal.lexically_relative(data);
    if (relative.empty() || *relative.begin() == ".." || relative.is_absolute())
        return path.string();
    const std::string drive = relative.begin()->string();
    if (drive.size() != 1 || drive[0] < 'a' || drive[0] > 'z')
        return path.string();
    std::string text = drive + ":\\";
    bool first = true;
    for (auto part = std::next(relative.begin()); part != relative.end(); ++part) {
        if (part->empty() || *part == ".")
            continue;
        if (!first)
            text += '\\';
        text += part->string();
        first = false;
    }
    return text;
}

std::filesystem::path mapPathOnDrive(std::string_view windowsStylePath) {
    MappedPath mapped = mapWithDrive(windowsStylePath);
    if (!mapped.driveRoot.empty()) {
        std::error_code ignored;  // a drive that can not be made fails at the file's own use
        std::filesystem::create_directories(mapped.driveRoot, ignored);
    }
    return mapped.path;
}

}  // namespace tarn
