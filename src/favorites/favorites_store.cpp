#include "favorites/favorites_store.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/paths.h"
#include "settings/hive_file.h"
#include "settings/registry_layout.h"

namespace tarn {
namespace {

constexpr std::string_view kUrlExtension = ".URL";

bool hasUrlExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && equalsIgnoringCase(name.substr(dot), kUrlExtension);
}

// A ".." part would reach outside the favourites folder, which the supervisor chose.
bool leavesFolder(std::string_view name) {
    std::size_t start = 0;
    while (start <= name.size()) {
        auto end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = name.size();
        }
        if (name.substr(start, end - start) == "..") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// A POSIX path text may still end in, or contain, the "\" that separates favourites folders.
std::string posixSeparators(std::string_view text) {
    std::string path(text);
    if (!path.empty() && path.front() == '/') {
        std::replace(path.begin(), path.end(), '\\', '/');
    }
    return path;
}

std::string folderOrShell(std::string_view folder) {
    return folder.empty() ? GetShellFavoritesFolder() : std::string(folder);
}

}  // namespace

std::string GetShellFavoritesFolder() {
    auto hive = HiveFile::open(Hive::CurrentUser);
    const auto key = hive->findKey(kRootKey, kShellFoldersKey);
    if (!key) {
        return {};
    }
    const auto value = hive->readValue(*key, kFavoritesValue);
    if (!value) {
        return "\\";
    }
    if (value->type != kRegString) {
        return {};
    }
    return value->data + "\\";
}

std::string ResolveFavoritesFolder(bool useLogon, const std::function<std::string()>& userFolder) {
    return useLogon ? userFolder() : GetShellFavoritesFolder();
}

std::string EnsureUrlExtension(std::string_view name) {
    if (name.empty() || hasUrlExtension(name)) {
        return std::string(name);
    }
    return std::string(name) + std::string(kUrlExtension);
}

std::filesystem::path FavoritePath(std::string_view text) {
    // The path layer keeps POSIX paths as they are; here "\" still separates folders.
    return mapPathOnDrive(posixSeparators(text));
}

bool IsFavoriteFolder(std::string_view folder, std::string_view name) {
    const std::string base = folderOrShell(folder);
    if (base.empty()) {
        return false;
    }
    std::error_code error;
    return std::filesystem::is_directory(FavoritePath(base + std::string(name)), error);
}

std::string ReadShortcutUrl(std::string_view path, std::string_view fileName,
                            std::string_view favoritesFolder) {
    const std::string text =
        path.empty() ? std::string(favoritesFolder) + std::string(fileName) : std::string(path);
    if (text.empty()) {
        return {};
    }
    return ReadIniString(FavoritePath(text), "InternetShortcut", "URL");
}

std::optional<std::vector<FavoriteEntry>> ScanFavoritesFolder(std::string_view favoritesFolder) {
    std::error_code error;
    if (favoritesFolder.empty() ||
        !std::filesystem::is_directory(FavoritePath(favoritesFolder), error)) {
        return std::nullopt;
    }
    std::vector<FavoriteEntry> entries;
    std::filesystem::directory_iterator it(FavoritePath(favoritesFolder), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string fileName = it->path().filename().string();
        std::error_code kindError;
        if (it->is_directory(kindError)) {
            // The row's location is shown and handed to file dialogs, so on a POSIX folder it
            // must be a real path.
            entries.push_back({FavoriteKind::Folder, fileName,
                               posixSeparators(favoritesFolder) + fileName, fileName});
            continue;
        }
        if (!hasUrlExtension(fileName)) {
            continue;
        }
        std::string url = ReadShortcutUrl({}, fileName, favoritesFolder);
        if (url.empty()) {
            continue;
        }
        const FavoriteKind kind =
            url.compare(0, 4, "file") == 0 ? FavoriteKind::LocalFile : FavoriteKind::Web;
        entries.push_back({kind, fileName.substr(0, fileName.size() - kUrlExtension.size()),
                           std::move(url), fileName});
    }
    return entries;
}

bool AddFavoriteEntry(std::string_view folder, std::string_view name, std::string_view url) {
    const std::string base = folderOrShell(folder);
    if (base.empty() || leavesFolder(name)) {
        return false;
    }
    const std::string text = base + std::string(name);
    if (url.empty()) {
        std::error_code error;
        return std::filesystem::create_directory(FavoritePath(text), error);
    }
    return WriteShortcutFile(FavoritePath(EnsureUrlExtension(text)), url);
}

DeletedFavorite DeleteFavoriteEntry(std::string_view folder, std::string_view name, bool asFolder) {
    const std::string base = folderOrShell(folder);
    if (base.empty() || leavesFolder(name)) {
        return {false, {}};
    }
    const std::string text = base + std::string(name);
    std::error_code error;
    if (asFolder && std::filesystem::is_directory(FavoritePath(text), error)) {
        return {std::filesystem::remove(FavoritePath(text), error), {}};
    }
    const std::filesystem::path file = FavoritePath(EnsureUrlExtension(text));
    const std::string line = ReadSecondLine(file);
    std::string url = line.size() > 4 ? line.substr(4) : std::string();
    return {std::filesystem::remove(file, error), std::move(url)};
}

}  // namespace tarn
