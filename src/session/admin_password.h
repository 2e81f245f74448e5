#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The one-way form in which the administrator password is stored and compared: a text of the
// same length, the same for any letter case of a to z, and free of control characters, blanks,
// '=', '[' and ']' when the password is. Keys taken from positions and the length use their
// low eight bits, so texts longer than 255 bytes hash too.
std::string HashAdminPassword(std::string_view password);

}  // namespace tarn
