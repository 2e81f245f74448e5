#pragma once

#include <string>
#include <string_view>

namespace tarn {

// Letter case as the program compares it everywhere (key names, history entries, file
// extensions, the URL filter): ASCII letters only, so the process locale changes nothing and
// other bytes, UTF-8 included, stay as they are.

inline char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperAscii(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tarn
