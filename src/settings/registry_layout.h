#pragma once

// Key paths shared by every part of the program, written once.
namespace tarn {

inline constexpr char kTarnviewRoot[] = "Software\\Kestrow Software\\Tarnview";
inline constexpr char kConfigKey[] = "Software\\Kestrow Software\\Tarnview\\Config";
inline constexpr char kAdminKey[] = "Software\\Kestrow Software\\Tarnview\\Admin";
inline constexpr char kGroupsKey[] = "Software\\Kestrow Software\\Tarnview\\Admin\\Groups";

inline constexpr char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr char kFavoritesValue[] = "Favorites";

inline constexpr char kDefaultGroup[] = "Default Group";
inline constexpr char kDefaultUser[] = "Default User";

}  // namespace tarn
