#pragma once

#include <string_view>
#include <vector>

#include "tarnreg/reg_file.h"

namespace tarn::reg {

// Reads a whole registry file of either form: UTF-16LE when it starts with a byte-order mark,
// otherwise 8-bit text taken byte for byte. Throws RegParseError for the first line that can
// not be read, so a file is either read completely or not at all.
std::vector<RegKeyEntry> readRegFile(std::string_view bytes);

}  // namespace tarn::reg
