#pragma once

#include <string>
#include <vector>

#include "tarnreg/key_path.h"

namespace tarn::reg {

// The two text forms of the registry editor.
enum class RegFormat {
    Regedit4,  // "REGEDIT4": 8-bit text, our bytes as they are
    Version5,  // "Windows Registry Editor Version 5.00": UTF-16LE with byte-order mark
};

// One value line: data to set, or (remove) the value to delete.
struct RegValueEntry {
    std::string name;  // "" is the default value, written @
    bool remove = false;
    int type = kRegString;
    std::string data;
};

// One [KEY] section with its value lines, or (remove) a [-KEY] deletion of the key tree.
struct RegKeyEntry {
    KeyPath key;
    bool remove = false;
    std::vector<RegValueEntry> values;
};

}  // namespace tarn::reg
