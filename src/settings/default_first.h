#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// Key names compare as the hive compares them: ASCII letters without regard to case.
bool sameKeyName(std::string_view a, std::string_view b);

// `names` with every name equal to `defaultName` removed and `defaultName` put first, for the
// lists that always offer their default whether or not a key of that name exists.
std::vector<std::string> withDefaultFirst(std::vector<std::string> names,
                                          std::string_view defaultName);

}  // namespace tarn
