#include "settings/default_first.h"

#include <algorithm>

#include "platform/ascii_case.h"

namespace tarn {

bool sameKeyName(std::string_view a, std::string_view b) {
    return equalsIgnoringCase(a, b);
}

std::vector<std::string> withDefaultFirst(std::vector<std::string> names,
                                          std::string_view defaultName) {
    std::erase_if(names, [&](const std::string& name) { return sameKeyName(name, defaultName); });
    names.insert(names.begin(), std::string(defaultName));
    return names;
}

}  // namespace tarn
