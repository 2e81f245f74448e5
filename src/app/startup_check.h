#pragma once

#include <optional>
#include <string>

namespace tarn {

// Opens the hives the program needs before any window shows. A damaged or unreadable hive, or a
// per-user hive that can not be written (a folder in its place, a settings folder that can not
// hold it), gives the message that names it: the program must not run without its policy, nor
// count minutes of use it can not keep.
std::optional<std::string> checkHives();

}  // namespace tarn
