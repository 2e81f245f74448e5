#include "platform/paths.h"

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

std::filesystem::path mapPathOnDrive(std::string_view windowsStylePath) {
    MappedPath mapped = mapWithDrive(windowsStylePath);
    if (!mapped.driveRoot.empty()) {
        std::error_code ignored;  // a drive that can not be made fails at the file's own use
        std::filesystem::create_directories(mapped.driveRoot, ignored);
    }
    return mapped.path;
}

}  // namespace tarn
