#pragma once

#include <string>
#include <vector>

#include "tarnreg/reg_file.h"

namespace tarn::reg {

// The file the registry editor would write for `keys` (none of them removals). Strings that a
// quoted string can not carry (a zero byte, CR or LF, or in Version 5 bytes that are not UTF-8)
// are written as hex(1) with their raw bytes. Throws RegError for a key or value name that no
// registry file can carry.
std::string writeRegFile(RegFormat format, const std::vector<RegKeyEntry>& keys);

}  // namespace tarn::reg
