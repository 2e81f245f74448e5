#pragma once

#include <QString>
#include <filesystem>

namespace tarn {

// The folder of the program's own files, blank.htm and the help pages: beside the running
// program file in the build tree, share/tarnview beside its bin folder once installed.
std::filesystem::path programFolder();

// The folder of the dial-up networking libraries: beside the running program file in the build
// tree, lib/tarnview beside its bin folder once installed.
std::filesystem::path programLibraryFolder();

// Where programFolder() looks from `binFolder`: `binFolder` when it holds `marker`, else
// `installed` below its parent folder when that holds it, else `binFolder`.
std::filesystem::path folderBeside(const std::filesystem::path& binFolder,
                                   const std::filesystem::path& installed, const char* marker);

// The file address of the program folder, ending in '/': the program's own pages lie below it.
QString programFolderUrl();

// The address of the blank start page in the program folder, as the browsers show it.
QString blankPageUrl();

}  // namespace tarn
