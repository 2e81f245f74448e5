#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn::reg {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// Number of characters of valid UTF-8 text (code points).
size_t characterCount(std::string_view utf8);

// Bytes that are not UTF-8 become U+FFFD; callers check isValidUtf8 where that matters.
std::string utf8ToUtf16le(std::string_view utf8);

// Empty when `bytes` is no whole number of UTF-16 units or holds an unpaired surrogate.
std::optional<std::string> utf16leToUtf8(std::string_view bytes);

}  // namespace tarn::reg
