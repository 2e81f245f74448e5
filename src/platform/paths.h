#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarn {

// Where Tarnview keeps its files on this machine. Every value is computed from the
// environment at the moment of the call, so tests can point each case at its own folders.

// $XDG_CONFIG_HOME/tarnview (default ~/.config/tarnview): the per-user hive lives here.
std::filesystem::path configFolder();

// $XDG_DATA_HOME/tarnview (default ~/.local/share/tarnview): mapped drives, favourites.
std::filesystem::path dataFolder();

std::filesystem::path userHiveFile();

// $TARNVIEW_MACHINE_HIVE when set, else /var/lib/tarnview/machine.hive.
std::filesystem::path machineHiveFile();

// The folder the shell-folders key names as the user's Favorites folder.
std::filesystem::path defaultFavoritesFolder();

// Maps a path written Windows-style to a real one: "c:\tarnview" becomes
// <data folder>/c/tarnview (other drive letters sit beside c), "\x" is x on drive c, and every
// "\" becomes "/". POSIX absolute paths and relative paths without a drive pass through with
// their backslashes turned into slashes.
std::filesystem::path mapPath(std::string_view windowsStylePath);

// The drive letters mapped on this machine ('c' always among them), in order.
std::string mappedDrives();

// A real path as settings write it: below a mapped drive's folder "c:\tarnview" style,
// anything else as it is. mapPath gives back the path.
std::string windowsStylePath(const std::filesystem::path& path);

// mapPath, and the mapped drive's folder is created when missing, as a drive's root always
// exists; folders below it are not.
std::filesystem::path mapPathOnDrive(std::string_view windowsStylePath);

}  // namespace tarn
