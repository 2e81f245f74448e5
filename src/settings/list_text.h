#pragma once

#include <optional>
#include <string>

#include "platform/prefaulted.h"

namespace tarn {

// The text of a list file as UTF-8: a UTF-8 byte-order mark is dropped, and UTF-16 with its
// byte-order mark (little or big endian, as editors save "Unicode") is converted. Nothing when
// the bytes are not valid text in any of these (a zero byte, a broken sequence, UTF-16 without
// its mark): such a file would be read as garbage, and every address in it left reachable.
std::optional<LargeVector<char>> listText(LargeVector<char> bytes);

}  // namespace tarn
