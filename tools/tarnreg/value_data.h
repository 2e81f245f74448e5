#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/hive_file.h"

namespace tarn::reg {

// 1 to 8 hexadecimal digits, either case, nothing else.
std::optional<std::uint32_t> parseHex32(std::string_view text);

// Decimal digits, or 0x (either case) and 1 to 8 hexadecimal digits; 0 to 4294967295.
std::optional<std::uint32_t> parseDword(std::string_view text);

// Bytes of one or two hexadecimal digits separated by commas ("01,02,ff"), blanks around each
// byte allowed, a trailing comma allowed; "" is no bytes.
std::optional<std::string> parseHexBytes(std::string_view text);

// "01,02,ff".
std::string formatHexBytes(std::string_view bytes);

// A dword's stored form: four bytes, least significant first.
std::string dwordBytes(std::uint32_t value);
// The number a value holds when it is a dword of exactly four bytes.
std::optional<std::uint32_t> dwordOf(int type, std::string_view data);

// Text of a string value that can stand on one line of output: no zero byte, CR or LF.
bool isSingleLineText(std::string_view data);

// "REG_SZ", "REG_DWORD", ...; other types as "REG_TYPE_<n>".
std::string typeName(int type);

}  // namespace tarn::reg
