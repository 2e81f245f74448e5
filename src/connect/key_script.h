#pragma once

#include <string>
#include <string_view>

namespace tarn {

// Key-stroke scripts for driving another program: a modifier prefix ("{SHIFT}", "{ALT}",
// "{CTRL}", at most three) and a text whose characters stand for themselves and whose names in
// braces ("{TAB}", "{F5}", "{SHIFT-DN}") stand for one key each, compiled into one-byte codes:
// 8, 9, 13, 27 and other codes below 32 as themselves, 32 to 227 characters, 228 to 239 F1 to
// F12, 240 to 249 Home, End, Up, Down, Left, Right, Page Up, Page Down, Insert, Delete, and
// 250 to 255 Shift, Ctrl and Alt down and up.
namespace keycode {
inline constexpr unsigned char kF1 = 228;
inline constexpr unsigned char kHome = 240;
inline constexpr unsigned char kShiftDown = 250;
inline constexpr unsigned char kShiftUp = 251;
inline constexpr unsigned char kCtrlDown = 252;
inline constexpr unsigned char kCtrlUp = 253;
inline constexpr unsigned char kAltDown = 254;
inline constexpr unsigned char kAltUp = 255;
}  // namespace keycode

// The code of a key name as written between braces (exact upper case), or -1 for a name that
// is not one.
int KeyNameToCode(std::string_view name);

struct KeyScript {
    std::string codes;
    // Why the script was refused (a name that is not a key, a "{" never closed); nothing is
    // to be sent then.
    std::string error;
};

KeyScript BuildKeyScript(std::string_view prefix, std::string_view text);

}  // namespace tarn
