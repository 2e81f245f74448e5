#pragma once

#include <optional>
#include <string>

namespace tarn {

// Opens the hives the program needs before any window shows. A damaged or unreadable hive
// gives the message that names it; the program must not run without its policy.
std::optional<std::string> checkHives();

}  // namespace tarn
