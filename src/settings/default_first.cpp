#include "settings/default_first.h"

#include <algorithm>

namespace tarn {
namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool sameKeyName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::vector<std::string> withDefaultFirst(std::vector<std::string> names,
                                          std::string_view defaultName) {
    std::erase_if(names, [&](const std::string& name) { return sameKeyName(name, defaultName); });
    names.insert(names.begin(), std::string(defaultName));
    return names;
}

}  // namespace tarn
