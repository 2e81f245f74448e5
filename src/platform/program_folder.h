#pragma once

#include <QString>
#include <filesystem>

namespace tarn {

// The folder of the running program file, where blank.htm and the help pages are shipped. The
// same lookup works in the build tree and in an installed tree.
std::filesystem::path programFolder();

// The file address of the program folder, ending in '/': the program's own pages lie below it.
QString programFolderUrl();

// The address of the blank start page in the program folder, as the browsers show it.
QString blankPageUrl();

}  // namespace tarn
