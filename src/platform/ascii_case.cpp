#include "platform/ascii_case.h"

#include <algorithm>

namespace tarn {

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = upperAscii(c);
    }
    return upper;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

}  // namespace tarn
