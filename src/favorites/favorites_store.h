#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/shortcut_file.h"

namespace tarn {

// Favourites are internet-shortcut files in one folder, the favourites folder: a path text that
// ends in "\" (Windows-style, or the POSIX shell folder followed by "\"); empty when none is
// known. Subfolders are listed as entries of their own, their contents never.

enum class FavoriteKind { Web = 0, Folder = 1, LocalFile = 2 };

// Name is the shortcut's file name without ".URL", or the folder's name. Location is the
// shortcut's URL, or the folder's path text. FileName is the name the listing found in the
// folder, extension in its own case included: the name to open or delete the entry by.
struct FavoriteEntry {
    FavoriteKind Kind;
    std::string Name;
    std::string Location;
    std::string FileName;
    bool operator==(const FavoriteEntry&) const = default;
};

// The per-user shell-folders key's Favorites value followed by "\"; "\" alone when the value is
// missing, empty when the key is missing or the value is not text. Never creates the key.
std::string GetShellFavoritesFolder();

// The folder of the signed-on group or user (userFolder, asked only when useLogon), otherwise
// the shell's Favorites folder. Resolved afresh at every call.
std::string ResolveFavoritesFolder(bool useLogon, const std::function<std::string()>& userFolder);

// The name followed by ".URL" unless it is empty or already ends in ".URL" in any case.
std::string EnsureUrlExtension(std::string_view name);

// The real file or folder a favourites path text names: backslashes separate folders, drive
// letters map through the path layer.
std::filesystem::path FavoritePath(std::string_view text);

// True when the folder (empty: the shell's Favorites folder) followed by name is a folder.
bool IsFavoriteFolder(std::string_view folder, std::string_view name);

// The URL of a shortcut: the file `path` when it is not empty, else favoritesFolder followed by
// fileName. Empty when the file or its URL key is missing.
std::string ReadShortcutUrl(std::string_view path, std::string_view fileName,
                            std::string_view favoritesFolder);

// The entries of the folder in the file system's order; none when the folder does not exist.
// A folder row's Location is the folder text followed by its name, with "/" in place of every
// "\" when the folder text is a POSIX path.
std::optional<std::vector<FavoriteEntry>> ScanFavoritesFolder(std::string_view favoritesFolder);

// Writes the shortcut folder+name (".URL" added) for url, or makes the subfolder folder+name
// when url is empty. An empty folder stands for the shell's Favorites folder. False when the
// file system refuses, the folder is unknown, or the name leaves the favourites folder.
bool AddFavoriteEntry(std::string_view folder, std::string_view name, std::string_view url);

struct DeletedFavorite {
    bool deleted;
    std::string url;
};

// Removes the empty subfolder folder+name when asFolder and it is a folder; otherwise reads the
// shortcut's URL and deletes the file. Throws FavoritesIoError when the shortcut can not be
// opened or read; nothing is deleted then.
DeletedFavorite DeleteFavoriteEntry(std::string_view folder, std::string_view name, bool asFolder);

}  // namespace tarn
