#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The reversible scrambling under which user, dial-up and online-service passwords are stored.
// It works on bytes and keeps the length, so a scrambled text may hold zero bytes; the store
// keeps text values at full length, so such a password survives a round trip. An empty text
// scrambles to an empty text, which the records read as "no password".
std::string scramblePassword(std::string_view plain);
std::string unscramblePassword(std::string_view scrambled);

}  // namespace tarn
