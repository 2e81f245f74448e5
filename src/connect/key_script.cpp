#include "connect/key_script.h"

#include <array>
#include <vector>

namespace tarn {

int KeyNameToCode(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, int>, 6> kPlain{{
        {"BKSP", 8},
        {"TAB", 9},
        {"ENTER", 13},
        {"ESC", 27},
        {"SHIFT-DN", keycode::kShiftDown},
        {"SHIFT-UP", keycode::kShiftUp},
    }};
    static constexpr std::array<std::string_view, 10> kMoves{
        "HOME", "END", "UP", "DOWN", "LEFT", "RIGHT", "PGUP", "PGDN", "INS", "DEL"};
    for (const auto& [key, code] : kPlain) {
        if (name == key)
            return code;
    }
    for (size_t i = 0; i < kMoves.size(); ++i) {
        if (name == kMoves[i])
            return keycode::kHome + static_cast<int>(i);
    }
    // "F1" to "F12", without a leading zero.
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' && name[1] >= '1' &&
        name[1] <= '9') {
        int number = name[1] - '0';
        if (name.size() == 3) {
            if (name[2] < '0' || name[2] > '9')
                return -1;
            number = number * 10 + (name[2] - '0');
        }
        if (number <= 12)
            return keycode::kF1 + number - 1;
    }
    return -1;
}

KeyScript BuildKeyScript(std::string_view prefix, std::string_view text) {
    KeyScript script;
    std::vector<unsigned char> releases;
    // Each token is known by its second character and taken by its length, as the scripts of
    // the program write them.
    while (!prefix.empty()) {
        const char which = prefix.size() >= 2 ? prefix[1] : '\0';
        size_t length = 0;
        if (which == 'S') {
            script.codes.push_back(static_cast<char>(keycode::kShiftDown));
            releases.push_back(keycode::kShiftUp);
            length = 7;
        } else if (which == 'A') {
            script.codes.push_back(static_cast<char>(keycode::kAltDown));
            releases.push_back(keycode::kAltUp);
            length = 5;
        } else if (which == 'C') {
            script.codes.push_back(static_cast<char>(keycode::kCtrlDown));
            releases.push_back(keycode::kCtrlUp);
            length = 6;
        } else {
            return {{},
                    "The modifier " + std::string(prefix) +
                        " is not one of {SHIFT}, {ALT} and {CTRL}."};
        }
        if (releases.size() > 3)
            return {{}, "A key script holds at most three modifiers."};
        prefix.remove_prefix(std::min(length, prefix.size()));
    }
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '{') {
            script.codes.push_back(text[at]);
            continue;
        }
        const size_t close = text.find('}', at + 1);
        if (close == std::string_view::npos)
            return {{}, "The key script has a \"{\" with no \"}\" after it."};
        const std::string_view name = text.substr(at + 1, close - at - 1);
        const int code = KeyNameToCode(name);
        if (code < 0)
            return {{},
                    "The key script names a key that does not exist: {" + std::string(name) + "}."};
        script.codes.push_back(static_cast<char>(code));
        at = close;
    }
    for (auto release = releases.rbegin(); release != releases.rend(); ++release)
        script.codes.push_back(static_cast<char>(*release));
    return script;
}

}  // namespace tarn
