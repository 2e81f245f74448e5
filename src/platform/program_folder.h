#pragma once

#include <filesystem>

namespace tarn {

// The folder of the running program file, where blank.htm and the help pages are shipped. The
// same lookup works in the build tree and in an installed tree.
std::filesystem::path programFolder();

}  // namespace tarn
